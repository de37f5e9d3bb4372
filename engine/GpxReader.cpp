#include "engine/GpxReader.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/DebugOutput.h"
#include "platform/NumberText.h"
#include "platform/Tokenize.h"

namespace {

// Deeper documents are not parsed: the parser and the walk recurse once per level, and a
// hostile file must not exhaust the stack. Real GPX files nest about five levels deep.
constexpr int kMaxNesting = 2000;

void Trace(const char* text) {
    if (IsDebugOutputEnabled()) {
        OutputDebugStringA(text != nullptr ? text : "");
        OutputDebugStringA("\n");
    }
}

// Measures the element nesting depth of an XML text, skipping comments, CDATA sections,
// processing instructions and declarations, and quoted attribute values.
class NestingScanner {
public:
    void Feed(const char* data, size_t size) {
        for (size_t i = 0; i < size; ++i) {
            Step(data[i]);
        }
    }
    int Deepest() const { return m_Deepest; }

private:
    enum class State { Text, TagStart, OpenTag, Quoted, CloseTag, Markup, Special };

    void Step(char c) {
        switch (m_State) {
            case State::Text:
                if (c == '<') {
                    m_State = State::TagStart;
                }
                break;
            case State::TagStart:
                if (c == '/') {
                    m_State = State::CloseTag;
                } else if (c == '!' || c == '?') {
                    m_State = State::Markup;
                    m_Terminator = c == '?' ? "?>" : ">";
                    m_Matched = 0;
                } else {
                    m_State = State::OpenTag;
                    m_Depth++;
                    m_Deepest = m_Depth > m_Deepest ? m_Depth : m_Deepest;
                }
                break;
            case State::OpenTag:
                if (c == '"' || c == '\'') {
                    m_Quote = c;
                    m_State = State::Quoted;
                } else if (c == '>') {
                    m_Depth -= m_Previous == '/' ? 1 : 0;
                    m_State = State::Text;
                }
                break;
            case State::Quoted:
                m_State = c == m_Quote ? State::OpenTag : State::Quoted;
                break;
            case State::CloseTag:
                if (c == '>') {
                    m_Depth--;
                    m_State = State::Text;
                }
                break;
            case State::Markup:
                StepMarkup(c);
                break;
            case State::Special:
                StepTerminator(c);
                break;
        }
        m_Previous = c;
    }

    // After "<!" or "<?": picks the terminator of a comment or CDATA section once its opening
    // is seen, otherwise waits for the declaration's own terminator.
    void StepMarkup(char c) {
        m_Opening += c;
        if (m_Opening == "--") {
            BeginSpecial("-->");
        } else if (m_Opening == "[CDATA[") {
            BeginSpecial("]]>");
        } else if (m_Opening.size() >= 7 || (m_Opening.size() == 1 && c != '-' && c != '[')) {
            BeginSpecial(m_Terminator);
            StepTerminator(c);
        }
    }

    void BeginSpecial(const char* terminator) {
        m_Opening.clear();
        m_Terminator = terminator;
        m_Matched = 0;
        m_State = State::Special;
    }

    void StepTerminator(char c) {
        const size_t length = std::strlen(m_Terminator);
        if (c == m_Terminator[m_Matched]) {
            if (++m_Matched == length) {
                m_State = State::Text;
            }
        } else {
            m_Matched = c == m_Terminator[0] ? 1 : 0;
        }
    }

    State m_State = State::Text;
    const char* m_Terminator = ">";
    size_t m_Matched = 0;
    std::string m_Opening;
    char m_Quote = 0;
    char m_Previous = 0;
    int m_Depth = 0;
    int m_Deepest = 0;
};

bool IsTooDeeplyNested(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    NestingScanner scanner;
    std::vector<char> buffer(1 << 16);
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
        scanner.Feed(buffer.data(), n);
        if (scanner.Deepest() > kMaxNesting) {
            break;
        }
    }
    std::fclose(file);
    return scanner.Deepest() > kMaxNesting;
}

bool IsPointElementName(const char* name) {
    return std::strcmp(name, "wpt") == 0 || std::strcmp(name, "trkpt") == 0 ||
           std::strcmp(name, "rtept") == 0;
}

// The text of the first child node of the named child element, or nullptr when the element
// or its content is missing.
const char* ChildText(TiXmlElement* element, const char* name) {
    TiXmlElement* child = element->FirstChildElement(name);
    if (child == nullptr) {
        return nullptr;
    }
    TiXmlNode* content = child->FirstChild();
    return content != nullptr ? content->Value() : nullptr;
}

// Parses the six leading numeric fields of a GPX time text. False when fewer than six tokens.
bool ParseGpxTime(const char* text, SYSTEMTIME& st) {
    std::vector<char> copy(text, text + std::strlen(text) + 1);
    static const char kDelimiters[] = "TZ-: ,\t\n";
    char* state = nullptr;
    uint16_t fields[6];
    char* token = StrTok(copy.data(), kDelimiters, &state);
    for (int i = 0; i < 6; ++i) {
        if (token == nullptr) {
            return false;
        }
        fields[i] = static_cast<uint16_t>(CrtAtoi(token));
        token = StrTok(nullptr, kDelimiters, &state);
    }
    st = SYSTEMTIME{};
    st.wYear = fields[0];
    st.wMonth = fields[1];
    st.wDay = fields[2];
    st.wHour = fields[3];
    st.wMinute = fields[4];
    st.wSecond = fields[5];
    return true;
}

}  // namespace

GpxLoadReport LoadTrackLog(const std::string& path, TrackLog& log) {
    GpxLoadReport report;
    if (path.empty()) {
        report.problem = "no GPX file chosen";
        return report;
    }
    if (IsTooDeeplyNested(path)) {
        OutputDebugStringA("GPX file nested too deeply, not read: " + path + "\n");
        report.problem = "too deeply nested";
        return report;
    }
    const size_t before = log.Count();
    TiXmlDocument document(path.c_str());
    document.LoadFile(TIXML_ENCODING_UNKNOWN);
    for (TiXmlNode* node = document.FirstChildElement(); node != nullptr;
         node = node->NextSibling()) {
        Trace(node->Value());
        WalkGpxNode(node, log);
    }
    document.Clear();
    report.points = log.Count() - before;
    return report;
}

void WalkGpxNode(TiXmlNode* node, TrackLog& log) {
    for (TiXmlNode* child = node->FirstChildElement(); child != nullptr;
         child = child->NextSibling()) {
        Trace(child->Value());
        TiXmlElement* element = child->ToElement();
        if (element != nullptr && IsPointElementName(element->Value())) {
            ReadTrackPoint(element, log);
        }
        WalkGpxNode(child, log);
    }
}

void ReadTrackPoint(TiXmlElement* element, TrackLog& log) {
    TrackPoint point;
    const char* lat = element->Attribute("lat");
    if (lat != nullptr) {
        point.latitude = CrtAtof(lat);
        Trace(lat);
    }
    const char* lon = element->Attribute("lon");
    if (lon != nullptr) {
        point.longitude = CrtAtof(lon);
        Trace(lon);
    }
    const char* ele = ChildText(element, "ele");
    if (ele != nullptr) {
        point.elevation = CrtAtof(ele);
        Trace(ele);
    }
    const char* timeText = ChildText(element, "time");
    bool hasTime = false;
    if (timeText != nullptr) {
        Trace(timeText);
        SYSTEMTIME st;
        hasTime = ParseGpxTime(timeText, st);
        if (hasTime && !SystemTimeToFileTime(st, &point.time)) {
            point.time = FILETIME{};
        }
    }
    if (lat != nullptr && lon != nullptr && hasTime) {
        log.Append(point);
    }
}
