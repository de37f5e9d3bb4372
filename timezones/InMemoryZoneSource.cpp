#include "timezones/InMemoryZoneSource.h"

namespace {

class RecordKey : public ZoneKey {
public:
    explicit RecordKey(ZoneRecord record) : m_Record(std::move(record)) {}

    ZoneStatus QueryValue(const std::string& name, ZoneValue& value) const override {
        const auto found = m_Record.values.find(name);
        if (found == m_Record.values.end()) {
            return ZoneStatus::NotFound;
        }
        value = found->second;
        return ZoneStatus::Success;
    }

private:
    ZoneRecord m_Record;
};

class CatalogueKey : public ZoneCatalogueKey {
public:
    explicit CatalogueKey(std::shared_ptr<const InMemoryZoneSource::Data> data)
        : m_Data(std::move(data)) {}

    ZoneStatus EnumZoneName(uint32_t position, std::string& name) const override {
        const auto failure = m_Data->enumerationFailures.find(position);
        if (failure != m_Data->enumerationFailures.end()) {
            return failure->second;
        }
        if (position >= m_Data->zones.size()) {
            return ZoneStatus::NoMoreItems;
        }
        name = m_Data->zones[position].name;
        return ZoneStatus::Success;
    }

    ZoneStatus OpenZone(const std::string& name, std::unique_ptr<ZoneKey>& zone) const override {
        for (const ZoneRecord& record : m_Data->zones) {
            if (record.name == name) {
                if (record.openStatus == ZoneStatus::Success) {
                    zone = std::make_unique<RecordKey>(record);
                }
                return record.openStatus;
            }
        }
        return ZoneStatus::NotFound;
    }

private:
    std::shared_ptr<const InMemoryZoneSource::Data> m_Data;
};

}  // namespace

InMemoryZoneSource::InMemoryZoneSource() : m_Data(std::make_shared<Data>()) {}

void InMemoryZoneSource::AddZone(const std::string& name, int32_t bias, const std::string& display,
                                 const std::string& standardName) {
    ZoneRecord record;
    record.name = name;
    record.values["TZI"] = MakeTziValue(bias);
    record.values["Display"] = MakeStringValue(display);
    record.values["Std"] = MakeStringValue(standardName);
    AddRecord(std::move(record));
}

void InMemoryZoneSource::AddRecord(ZoneRecord record) {
    m_Data->zones.push_back(std::move(record));
}

ZoneRecord* InMemoryZoneSource::Find(const std::string& zoneName) {
    for (ZoneRecord& record : m_Data->zones) {
        if (record.name == zoneName) {
            return &record;
        }
    }
    return nullptr;
}

void InMemoryZoneSource::SetValue(const std::string& zoneName, const std::string& valueName,
                                  ZoneValue value) {
    if (ZoneRecord* record = Find(zoneName)) {
        record->values[valueName] = std::move(value);
    }
}

void InMemoryZoneSource::RemoveValue(const std::string& zoneName, const std::string& valueName) {
    if (ZoneRecord* record = Find(zoneName)) {
        record->values.erase(valueName);
    }
}

void InMemoryZoneSource::SetZoneOpenStatus(const std::string& zoneName, ZoneStatus status) {
    if (ZoneRecord* record = Find(zoneName)) {
        record->openStatus = status;
    }
}

void InMemoryZoneSource::SetEnumerationStatus(uint32_t position, ZoneStatus status) {
    m_Data->enumerationFailures[position] = status;
}

void InMemoryZoneSource::SetCatalogueStatus(ZoneStatus status) {
    m_Data->catalogueStatus = status;
}

void InMemoryZoneSource::SetCurrentZoneStatus(ZoneStatus status) {
    m_Data->currentZone.openStatus = status;
}

void InMemoryZoneSource::SetCurrentStandardName(const std::string& standardName) {
    SetCurrentStandardNameValue(MakeStringValue(standardName));
}

void InMemoryZoneSource::SetCurrentStandardNameValue(ZoneValue value) {
    m_Data->currentZone.values["StandardName"] = std::move(value);
}

ZoneStatus InMemoryZoneSource::OpenCatalogue(const std::string& /*keyPath*/,
                                             std::unique_ptr<ZoneCatalogueKey>& catalogue) const {
    if (m_Data->catalogueStatus != ZoneStatus::Success) {
        return m_Data->catalogueStatus;
    }
    catalogue = std::make_unique<CatalogueKey>(std::make_shared<const Data>(*m_Data));
    return ZoneStatus::Success;
}

ZoneStatus InMemoryZoneSource::OpenCurrentZoneInfo(std::unique_ptr<ZoneKey>& info) const {
    if (m_Data->currentZone.openStatus != ZoneStatus::Success) {
        return m_Data->currentZone.openStatus;
    }
    info = std::make_unique<RecordKey>(m_Data->currentZone);
    return ZoneStatus::Success;
}
