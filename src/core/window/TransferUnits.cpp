#include "window/TransferUnits.h"

#include "text/NumberText.h"

namespace pomurina {
namespace {

constexpr double kBytesPerUnit[] = {1.0, 1024.0, 1048576.0, 1073741824.0};

bool IsUnit(int index) {
    return index >= 0 && index <= 3;
}

}  // namespace

void WriteTransferVolume(ResultWindow& w, double total) {
    const int unit = w.ByteName().ItemIndex();
    if (IsUnit(unit))
        w.GetField(FieldId::TransferVolume).SetText(FloatToText(total / kBytesPerUnit[unit]));
    w.LastByteUnit() = unit;
}

void ChangeByteUnit(ResultWindow& w) {
    if (w.LastByteUnit() == kNoUnitYet) return;
    Field& field = w.GetField(FieldId::TransferVolume);
    const int chosen = w.ByteName().ItemIndex();
    const auto value = TextToFloat(field.Text());
    const int shown = w.LastByteUnit();
    if (value && IsUnit(chosen) && IsUnit(shown) && chosen != shown) {
        // Powers of two: the factor itself is exact; only the 15-digit text rounds.
        const double factor = kBytesPerUnit[shown] / kBytesPerUnit[chosen];
        field.SetText(FloatToText(*value * factor));
    }
    w.LastByteUnit() = chosen;
}

const char* UnitName(int unit) {
    static constexpr const char* kNames[] = {"byte", "Kb", "Mb", "Gb"};
    return IsUnit(unit) ? kNames[unit] : nullptr;
}

}  // namespace pomurina
