#include "engine/LiveSettings.h"

const std::string& LiveSettings::HotFolder(int n) const {
    static const std::string kNone;
    switch (n) {
        case 1:
            return m_HotFolder1;
        case 2:
            return m_HotFolder2;
        case 3:
            return m_HotFolder3;
        case 4:
            return m_HotFolder4;
        default:
            return kNone;
    }
}

std::string& LiveSettings::HotFolder(int n) {
    switch (n) {
        case 2:
            return m_HotFolder2;
        case 3:
            return m_HotFolder3;
        case 4:
            return m_HotFolder4;
        default:
            return m_HotFolder1;
    }
}
