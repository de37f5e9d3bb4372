#include "timezones/TzdbZoneSource.h"

#include <cstdlib>
#include <mutex>

#include "platform/NumberText.h"

TzdbZoneSource::TzdbZoneSource(std::string directory) : m_Directory(std::move(directory)) {}

ZoneStatus TzdbZoneSource::OpenCatalogue(const std::string& keyPath,
                                         std::unique_ptr<ZoneCatalogueKey>& catalogue) const {
    InMemoryZoneSource table;
    for (const std::string& id : CatalogueZoneIds(m_Directory)) {
        table.AddRecord(TzdbZoneRecord(id));
    }
    return table.OpenCatalogue(keyPath, catalogue);
}

ZoneStatus TzdbZoneSource::OpenCurrentZoneInfo(std::unique_ptr<ZoneKey>& info) const {
    InMemoryZoneSource current;
    current.SetCurrentStandardName(
        CatalogueZoneIdFor(SystemZoneId(), CatalogueZoneIds(m_Directory), m_Directory));
    return current.OpenCurrentZoneInfo(info);
}

ZoneRecord TzdbZoneRecord(const std::string& id) {
    ZoneRecord record;
    record.name = id;
    const std::optional<int32_t> offset = StandardOffsetSeconds(id);
    if (offset) {
        record.values["TZI"] = MakeTziValue(-*offset / 60);
    }
    record.values["Display"] = MakeStringValue(ZoneDisplayText(id, offset.value_or(0)));
    record.values["Std"] = MakeStringValue(id);
    return record;
}

std::string ZoneDisplayText(const std::string& id, int32_t offsetSeconds) {
    const int32_t minutes = std::abs(offsetSeconds) / 60;
    return FormatC(16, "(UTC%c%02d:%02d) ", offsetSeconds < 0 ? '-' : '+', minutes / 60,
                   minutes % 60) +
           id;
}

namespace {

struct DefaultSource {
    std::mutex mutex;
    std::shared_ptr<const ZoneRecordSource> source;
};

DefaultSource& TheDefaultSource() {
    static DefaultSource* state = new DefaultSource();
    return *state;
}

}  // namespace

std::shared_ptr<const ZoneRecordSource> DefaultZoneSource() {
    DefaultSource& state = TheDefaultSource();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!state.source) {
        state.source = std::make_shared<TzdbZoneSource>();
    }
    return state.source;
}

void SetDefaultZoneSource(std::shared_ptr<const ZoneRecordSource> source) {
    DefaultSource& state = TheDefaultSource();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.source = std::move(source);
}
