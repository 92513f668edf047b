#pragma once
// The transfer volume in the unit chosen in the unit selector: byte, Kb, Mb, Gb.
#include "window/ResultWindow.h"

namespace pomurina {

// The run's field step: the transfer volume field shows total in the chosen
// unit (unchanged when no item is chosen); LastByteUnit takes the selector's index.
void WriteTransferVolume(ResultWindow& window, double total);

// The selector's change: converts the number in the transfer volume field
// from the unit it was last written in to the chosen one.  Before any run it
// does nothing; while the field holds no number it converts nothing and only
// records the index.
void ChangeByteUnit(ResultWindow& window);

// "byte", "Kb", "Mb", "Gb" for units 0 to 3; nullptr for any other index
// (kNoUnitYet among them).
const char* UnitName(int unit);

}  // namespace pomurina
