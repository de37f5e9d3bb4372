// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/CTextfield.h"

#include <QAccessibleWidget>
#include <QPainter>

#include "controls/EdgeExtendedImage.h"
#include "controls/PathEllipsis.h"

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

// A text field as screen readers see it: a label or a status bar, named by its text unless the
// owner gave it a name.
class TextfieldAccessible : public QAccessibleWidget {
public:
    explicit TextfieldAccessible(CTextfield* field)
        : QAccessibleWidget(field, field->AccessibleRole()) {}

    QString text(QAccessible::Text t) const override {
        const auto* field = static_cast<const CTextfield*>(widget());
        if (t == QAccessible::Name && field->accessibleName().isEmpty()) {
            return QString::fromStdString(field->GetText());
        }
        return QAccessibleWidget::text(t);
    }
    QAccessible::Role role() const override {
        return static_cast<const CTextfield*>(widget())->AccessibleRole();
    }
};

QAccessibleInterface* TextfieldAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("CTextfield") && object != nullptr && object->isWidgetType()) {
        return new TextfieldAccessible(static_cast<CTextfield*>(object));
    }
    return nullptr;
}

}  // namespace

void InstallTextfieldAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(TextfieldAccessibleFactory);
        return true;
    }();
    (void)installed;
}

CTextfield::CTextfield(QWidget* parent) : QWidget(parent), m_Font(TextfieldFont()) {}

void CTextfield::Create(QRect rect, QWidget* parent, int id) {
    m_Id = id;
    setParent(parent);
    setGeometry(rect);
    show();
}

void CTextfield::SetBackground(int bitmapId) {
    m_Background = SkinBitmap(bitmapId);
    setAttribute(Qt::WA_OpaquePaintEvent, !m_Background.IsNull());
    update();
}

void CTextfield::SetText(const std::string& text) {
    {
        MutexLock lock(m_TextMutex);
        m_Text = text;
    }
    // Queued, so that a call from a worker thread never touches the widget itself.
    QMetaObject::invokeMethod(
        this, [this] { update(); }, Qt::QueuedConnection);
}

void CTextfield::SetFocusFrame(bool shown) {
    if (m_FocusFrame != shown) {
        m_FocusFrame = shown;
        update();
    }
}

std::string CTextfield::GetText() const {
    MutexLock lock(m_TextMutex);
    return m_Text;
}

void CTextfield::paintEvent(QPaintEvent*) {
    if (m_Background.IsNull()) {
        return;
    }
    QPainter painter(this);
    DrawEdgeExtendedImage(painter, m_Background.For(painter), size());
    if (m_FocusFrame) {
        painter.setPen(m_TextColor);  // the bright colour, also while the field is off
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

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
