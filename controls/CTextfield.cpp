#include "controls/CTextfield.h"

#include <QPainter>

#include "controls/EdgeExtendedImage.h"
#include "controls/PathEllipsis.h"
#include "resources/SkinResources.h"

namespace {

// Arial with a cell 12 pixels high (11-pixel em) and an average character width of 6 pixels,
// which is Arial's own average widened by about a quarter. Liberation Sans has Arial's metrics
// and stands in where Arial is not installed.
QFont TextfieldFont() {
    QFont font;
    font.setFamilies(
        {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
    font.setPixelSize(11);
    font.setStretch(124);
    font.setWeight(QFont::Normal);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

}  // namespace

CTextfield::CTextfield(QWidget* parent) : QWidget(parent), m_Font(TextfieldFont()) {}

void CTextfield::Create(QRect rect, QWidget* parent, int id) {
    m_Id = id;
    setParent(parent);
    setGeometry(rect);
    show();
}

void CTextfield::SetBackground(int bitmapId) {
    m_Background = LoadSkinBitmap(bitmapId);
    setAttribute(Qt::WA_OpaquePaintEvent, !m_Background.isNull());
    update();
}

void CTextfield::SetText(const std::string& text) {
    {
        std::lock_guard<std::mutex> lock(m_TextMutex);
        m_Text = text;
    }
    // Queued, so that a call from a worker thread never touches the widget itself.
    QMetaObject::invokeMethod(
        this, [this] { update(); }, Qt::QueuedConnection);
}

std::string CTextfield::GetText() const {
    std::lock_guard<std::mutex> lock(m_TextMutex);
    return m_Text;
}

void CTextfield::paintEvent(QPaintEvent*) {
    if (m_Background.isNull()) {
        return;
    }
    QPainter painter(this);
    DrawEdgeExtendedImage(painter, m_Background, size());

    const QString text = QString::fromStdString(GetText());
    if (text.isEmpty()) {
        return;
    }
    painter.setFont(m_Font);
    painter.setPen(isEnabled() ? m_TextColor : m_DisabledTextColor);
    painter.setBackgroundMode(Qt::TransparentMode);
    const QString shown = ElidePath(text, painter.fontMetrics(), width());
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown);
}
