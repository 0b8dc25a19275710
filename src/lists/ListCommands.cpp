#include "lists/ListCommands.h"

#include "core/Form3.h"
#include "lists/MembersSituation.h"
#include "lists/PersonsList.h"
#include "lists/RiskControlList.h"

namespace ListCommands {

void install(TForm3 &window)
{
    window.addCommand(TForm3::Menu::Liste, PersonsList::Title, &PersonsList::Listapersoanelorsivarsta1Click);
    window.addCommand(TForm3::Menu::Liste, MembersSituation::Title, &MembersSituation::Situatiamembrilor1Click);
    window.addCommand(TForm3::Menu::Liste, RiskControlList::Title, &RiskControlList::Controlbazatpeprofilulderisc1Click);
}

} // namespace ListCommands
