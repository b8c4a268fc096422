#include "gui/AlgorithmChoice.h"

#include "crypt/HashAlgorithm.h"
#include "gui/PopupClickThrough.h"
#include "gui/RadioGroup.h"
#include "text/PlainText.h"
#include "tools/TextUtils.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QRadioButton>
#include <QStyle>

TAlgorithmChoice::TAlgorithmChoice(TRadioGroup* group) : QObject(group), m_group(group), m_combo(new QComboBox(group)) {
    QStringList items;
    for (const TAlgorithmInfo& row : AlgorithmTable()) {
        if (items.size() < OtherItem)
            items.append(ToQString(Latin1(row.Name)));
        else
            m_combo->addItem(ToQString(Latin1(row.Name)));
    }
    // The fourth item's label is the drop-down itself.
    items.append(QString());
    m_group->SetItems(items);
    m_combo->setObjectName(QStringLiteral("cbOtherAlgorithm"));
    m_combo->setAccessibleName(QStringLiteral("Other algorithm"));
    m_combo->setToolTip(QStringLiteral("More algorithms: SHA-2, SHA-3, BLAKE2, BLAKE3, CRC32 and XXH3"));
    m_combo->setMaxVisibleItems(m_combo->count());
    PassOutsideClicksThrough(m_combo->view()->window(), m_combo);
    // Choosing from the drop-down chooses its item.
    connect(m_combo, &QComboBox::activated, this, [this] { m_group->SetItemIndex(OtherItem); });
    FollowItem();
}

QStringList TAlgorithmChoice::RequestItems() const {
    QStringList items = m_group->Items();
    if (items.size() > OtherItem)
        items[OtherItem] = Other();
    return items;
}

QString TAlgorithmChoice::Other() const {
    return m_combo->currentText();
}

bool TAlgorithmChoice::SetOther(const QString& name) {
    for (int i = 0; i < m_combo->count(); ++i) {
        if (NormalizeName(m_combo->itemText(i)) == NormalizeName(name)) {
            m_combo->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

bool TAlgorithmChoice::RestoreOther(const QString& stored) {
    // No entry is longer than its table name with a few spaces or dashes; a longer stored text
    // (a megabyte of garbage) is refused before it is normalised once per entry.
    constexpr qsizetype LongestName = 32;
    if (stored.size() <= LongestName && SetOther(stored))
        return true;
    SetOther(QLatin1StringView(DefaultOther));
    return false;
}

QString TAlgorithmChoice::NotUnderstoodText() {
    return QStringLiteral("The stored other algorithm was not understood: ") + QLatin1StringView(DefaultOther) +
           QStringLiteral(" is used");
}

bool TAlgorithmChoice::Select(const QString& name) {
    const QStringList items = m_group->Items();
    for (int i = 0; i < OtherItem && i < items.size(); ++i) {
        if (NormalizeName(items[i]) == NormalizeName(name)) {
            m_group->SetItemIndex(i);
            return true;
        }
    }
    if (!SetOther(name))
        return false;
    m_group->SetItemIndex(OtherItem);
    return true;
}

// The group rebuilds and moves its buttons as it resizes; the drop-down follows the fourth.
bool TAlgorithmChoice::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        FollowItem();
    return QObject::eventFilter(watched, event);
}

void TAlgorithmChoice::FollowItem() {
    const QList<QRadioButton*>& buttons = m_group->Buttons();
    if (buttons.size() <= OtherItem)
        return;
    QRadioButton* item = buttons[OtherItem];
    item->removeEventFilter(this);
    item->installEventFilter(this);
    item->setAccessibleName(QStringLiteral("Other algorithm"));
    const int indicator = item->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, item) +
                          item->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, item);
    const int left = item->x() + indicator;
    const int height = std::min(m_combo->sizeHint().height(), std::max(item->height() + 2, 18));
    m_combo->setGeometry(left, item->y() + (item->height() - height) / 2, m_group->width() - left - 8, height);
    m_combo->raise();
}
