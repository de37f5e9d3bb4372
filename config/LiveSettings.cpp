#include "config/LiveSettings.h"

const std::string& LiveSettings::HotFolder(int n) const {
    static const std::string kNone;
    const std::string* const folders[4] = {&m_HotFolder1, &m_HotFolder2, &m_HotFolder3,
                                           &m_HotFolder4};
    return n >= 1 && n <= 4 ? *folders[n - 1] : kNone;
}

std::string& LiveSettings::HotFolder(int n) {
    std::string* const folders[4] = {&m_HotFolder1, &m_HotFolder2, &m_HotFolder3, &m_HotFolder4};
    return *folders[n >= 1 && n <= 4 ? n - 1 : 0];
}
