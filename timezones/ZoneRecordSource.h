#pragma once
// Where the time zone catalogue reads its zones from: a small read-only store of zone records
// laid out like the Windows registry's time zone keys.
//
// The catalogue key holds one record per zone, enumerated by position. A zone record holds
// typed values: "TZI" (binary, the packed time zone record whose first four bytes are the
// standard bias in minutes, little-endian, signed), "Display" and "Std" (strings stored with
// their terminating zero byte). A separate key describes the system's current zone; its value
// "StandardName" equals the "Std" of that zone. Every call returns a status instead of throwing.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Result of a call; the numbers are those of the Windows registry.
enum class ZoneStatus : uint32_t {
    Success = 0,
    NotFound = 2,
    AccessDenied = 5,
    InvalidData = 13,
    MoreData = 234,
    NoMoreItems = 259,
};

// Type of a stored value; any other number may occur and is kept as is.
enum class ZoneValueType : uint32_t {
    None = 0,
    String = 1,
    ExpandString = 2,  // a string that may name environment variables; taken as stored
    Binary = 3,
    Dword = 4,
};

struct ZoneValue {
    ZoneValueType type = ZoneValueType::None;
    std::vector<uint8_t> data;
};

inline bool operator==(const ZoneValue& a, const ZoneValue& b) {
    return a.type == b.type && a.data == b.data;
}

// A string value as stored: the text's bytes followed by one zero byte.
ZoneValue MakeStringValue(const std::string& text, ZoneValueType type = ZoneValueType::String);

// A binary value holding exactly `bytes`.
ZoneValue MakeBinaryValue(std::vector<uint8_t> bytes);

// The 44-byte packed time zone record of a zone with the given standard bias and no daylight
// saving time.
ZoneValue MakeTziValue(int32_t biasInMinutes);

// An open key with named values.
class ZoneKey {
public:
    virtual ~ZoneKey() = default;
    // Fills `value` with the whole value and returns Success, or returns NotFound (no such
    // value) or another error, after which `value` must not be used.
    virtual ZoneStatus QueryValue(const std::string& name, ZoneValue& value) const = 0;
};

// The open catalogue key.
class ZoneCatalogueKey {
public:
    virtual ~ZoneCatalogueKey() = default;
    // Name of the zone record at `position` (from 0): Success, NoMoreItems past the last
    // record, or another error.
    virtual ZoneStatus EnumZoneName(uint32_t position, std::string& name) const = 0;
    // Opens the named zone record; on Success `zone` is set, otherwise it is left empty.
    virtual ZoneStatus OpenZone(const std::string& name, std::unique_ptr<ZoneKey>& zone) const = 0;
};

// Where the catalogue and the current zone are stored. Closing a key is destroying it.
class ZoneRecordSource {
public:
    virtual ~ZoneRecordSource() = default;
    // Opens the catalogue stored under `keyPath` (one of the two paths below; a source with
    // only one catalogue ignores it). On Success `catalogue` is set.
    virtual ZoneStatus OpenCatalogue(const std::string& keyPath,
                                     std::unique_ptr<ZoneCatalogueKey>& catalogue) const = 0;
    // Opens the key that describes the system's current zone. On Success `info` is set.
    virtual ZoneStatus OpenCurrentZoneInfo(std::unique_ptr<ZoneKey>& info) const = 0;
};

// Catalogue paths of systems of major version 5 and later, and of earlier ones.
inline constexpr char kCatalogueKeyPath[] =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones";
inline constexpr char kLegacyCatalogueKeyPath[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Time Zones";
