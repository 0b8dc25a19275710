#pragma once

class TForm3;

// The lists the energy suppliers need to apply the month's supplements, in
// each supplier's own layout, on the main window's "Raport Furnizori".
namespace SupplierReports {

// "Format E-On Gaz Tg.Mures": the electricity and the gas workbooks.
void FormatEOnGazTgMures1Click();
// "Format CEZ - Supliment Electrica".
void FormatCEZSuplimentElectrica1Click();
// "Format Premier Energy - Supliment Electrica".
void FormatPremierEnergy1Click();

void install(TForm3 &window);

} // namespace SupplierReports
