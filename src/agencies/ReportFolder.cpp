#include "agencies/ReportFolder.h"

#include "controls/StyledProgressBar.h"
#include "core/Contor.h"
#include "core/Form3.h"

#include <QScopeGuard>

void ReportFolder::fill(int steps, const std::function<void(const QString &)> &write)
{
    const auto done = qScopeGuard([this] {
        Contor().Stop();
        Form3().resetShared();
        discard(); // a failed report leaves no working folder
    });
    Contor().Bar->setMaximum(steps);
    Contor().Start();
    write(work());
    commit();
}
