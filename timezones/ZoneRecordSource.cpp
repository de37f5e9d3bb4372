#include "timezones/ZoneRecordSource.h"

ZoneValue MakeStringValue(const std::string& text, ZoneValueType type) {
    ZoneValue value;
    value.type = type;
    value.data.assign(text.begin(), text.end());
    value.data.push_back(0);
    return value;
}

ZoneValue MakeBinaryValue(std::vector<uint8_t> bytes) {
    ZoneValue value;
    value.type = ZoneValueType::Binary;
    value.data = std::move(bytes);
    return value;
}

ZoneValue MakeTziValue(int32_t biasInMinutes) {
    // Bias, StandardBias, DaylightBias (4 bytes each), then two 16-byte transition dates.
    std::vector<uint8_t> bytes(44, 0);
    const auto bias = static_cast<uint32_t>(biasInMinutes);
    for (int i = 0; i < 4; ++i) {
        bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(bias >> (8 * i));
    }
    return MakeBinaryValue(std::move(bytes));
}
