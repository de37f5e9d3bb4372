#include "timezones/TimeZoneCatalogue.h"

#include <sys/utsname.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "engine/Log.h"
#include "platform/DebugOutput.h"
#include "platform/NumberText.h"
#include "platform/ProfileStore.h"
#include "platform/SettingKeys.h"
#include "timezones/TzdbZoneSource.h"

namespace {

// A failure while reading zones; carries the text that goes to the Log.
class TimeZoneError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

constexpr size_t kDisplayChars = 167;
constexpr size_t kStdChars = 255;
constexpr size_t kStandardNameChars = 255;

// Reads a string value as the registry's string query does: it must exist, fit in `maxChars`
// characters plus the terminating zero, be a String or ExpandString (taken as stored) and, when
// not empty, end in a zero byte. The text stops at the first zero byte.
ZoneStatus QueryStringValue(const ZoneKey& key, const char* name, size_t maxChars,
                            std::string& text) {
    ZoneValue value;
    const ZoneStatus status = key.QueryValue(name, value);
    if (status != ZoneStatus::Success) {
        return status;
    }
    if (value.data.size() > maxChars + 1) {
        return ZoneStatus::MoreData;
    }
    if (value.type != ZoneValueType::String && value.type != ZoneValueType::ExpandString) {
        return ZoneStatus::InvalidData;
    }
    if (value.data.empty()) {
        text.clear();
        return ZoneStatus::Success;
    }
    if (value.data.back() != 0) {
        return ZoneStatus::InvalidData;
    }
    const char* bytes = reinterpret_cast<const char*>(value.data.data());
    text.assign(bytes, strnlen(bytes, value.data.size()));
    return ZoneStatus::Success;
}

// The first four bytes of the binary "TZI" value, little-endian; missing bytes stay zero.
int32_t ReadBias(const ZoneKey& zone) {
    ZoneValue tzi;
    if (zone.QueryValue("TZI", tzi) != ZoneStatus::Success || tzi.type != ZoneValueType::Binary) {
        throw TimeZoneError("Failure in QueryBinaryValue.\n");
    }
    uint32_t bias = 0;
    for (size_t i = 0; i < 4 && i < tzi.data.size(); ++i) {
        bias |= static_cast<uint32_t>(tzi.data[i]) << (8 * i);
    }
    return static_cast<int32_t>(bias);
}

std::string ReadZoneString(const ZoneKey& zone, const char* name, size_t maxChars) {
    std::string text;
    if (QueryStringValue(zone, name, maxChars, text) != ZoneStatus::Success) {
        throw TimeZoneError("Failure in QueryStringValue.\n");
    }
    return text;
}

// Bias, Display and Std of one zone, in that order; throws TimeZoneError at the first failure.
TimeZoneEntry ReadZone(const ZoneCatalogueKey& catalogue, const std::string& name) {
    std::unique_ptr<ZoneKey> zone;
    if (catalogue.OpenZone(name, zone) != ZoneStatus::Success || !zone) {
        throw TimeZoneError("Failure in Open.\n");
    }
    TimeZoneEntry entry;
    entry.Bias = ReadBias(*zone);
    entry.Display = ReadZoneString(*zone, "Display", kDisplayChars);
    entry.Std = ReadZoneString(*zone, "Std", kStdChars);
    return entry;
}

// The system's current standard name; throws TimeZoneError when it cannot be read.
std::string ReadCurrentStandardName(const ZoneRecordSource& source) {
    std::unique_ptr<ZoneKey> info;
    if (source.OpenCurrentZoneInfo(info) != ZoneStatus::Success || !info) {
        throw TimeZoneError("Failure in Open.\n");
    }
    std::string name;
    if (QueryStringValue(*info, "StandardName", kStandardNameChars, name) != ZoneStatus::Success) {
        throw TimeZoneError("Failure in GetStringValue");
    }
    return name;
}

}  // namespace

void TimeZoneCatalogue::LoadTimeZones(const ZoneRecordSource& source) {
    m_Entries.clear();
    std::unique_ptr<ZoneCatalogueKey> catalogue;
    const char* keyPath = IsVersion5OrLater() ? kCatalogueKeyPath : kLegacyCatalogueKeyPath;
    if (source.OpenCatalogue(keyPath, catalogue) != ZoneStatus::Success || !catalogue) {
        return;
    }
    int32_t counter = 0;
    for (uint32_t position = 0; position < kMaxZonePositions; ++position) {
        std::string name;
        // The end of the list, and any enumeration error, ends loading.
        if (catalogue->EnumZoneName(position, name) != ZoneStatus::Success) {
            break;
        }
        OutputDebugStringA(name + "\n");
        try {
            TimeZoneEntry entry = ReadZone(*catalogue, name);
            entry.Index = counter++;
            m_Entries.push_back(std::move(entry));
        } catch (const TimeZoneError& failure) {
            Log::Instance().Write(Error, failure.what());
        }
    }
}

void TimeZoneCatalogue::LoadTimeZones() {
    LoadTimeZones(*DefaultZoneSource());
}

int32_t TimeZoneCatalogue::FindCurrentTimeZone(const ZoneRecordSource& source) const {
    std::string standardName;
    try {
        standardName = ReadCurrentStandardName(source);
    } catch (const TimeZoneError& failure) {
        Log::Instance().Write(Error, failure.what());
        return -1;
    }
    for (const TimeZoneEntry& entry : m_Entries) {
        if (entry.Std == standardName) {
            AppProfile().WriteProfileInt(kSettingsSection, kTZIndex, entry.Index);
            return entry.Index;
        }
    }
    return -1;
}

int32_t TimeZoneCatalogue::FindCurrentTimeZone() const {
    return FindCurrentTimeZone(*DefaultZoneSource());
}

const TimeZoneEntry* TimeZoneCatalogue::FindTimeZoneByIndex(int32_t n) const {
    for (const TimeZoneEntry& entry : m_Entries) {
        if (entry.Index == n) {
            return &entry;
        }
    }
    return nullptr;
}

bool IsVersion5OrLater() {
    utsname system{};
    if (uname(&system) != 0) {
        return true;
    }
    return CrtAtoi(system.release) >= 5;
}
