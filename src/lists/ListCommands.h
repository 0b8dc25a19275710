#pragma once

class TForm3;

// The persons, members and risk-control lists on "Liste / Formulare".
namespace ListCommands {

void install(TForm3 &window);

} // namespace ListCommands
