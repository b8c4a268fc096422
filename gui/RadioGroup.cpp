#include "gui/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QResizeEvent>

#include <algorithm>

TRadioGroup::TRadioGroup(const QString& title, QWidget* parent)
    : QGroupBox(title, parent), m_group(new QButtonGroup(this)) {
    connect(m_group, &QButtonGroup::idClicked, this, [this] { emit Clicked(); });
    connect(m_group, &QButtonGroup::idToggled, this, &TRadioGroup::UpdateTabStop);
    connect(m_group, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            emit Changed();
    });
}

void TRadioGroup::SetItems(const QStringList& items) {
    const int index = ItemIndex();
    m_items = items;
    RebuildButtons();
    SetItemIndex(std::min(index, static_cast<int>(m_items.size()) - 1));
}

void TRadioGroup::SetColumns(int columns) {
    m_columns = std::max(1, columns);
    ArrangeButtons();
}

int TRadioGroup::ItemIndex() const {
    return m_group->checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
    if (index >= 0 && index < m_buttons.size()) {
        m_buttons[index]->setChecked(true);
        return;
    }
    // An exclusive group refuses to uncheck its checked button; lift that while clearing.
    m_group->setExclusive(false);
    for (QRadioButton* button : m_buttons)
        button->setChecked(false);
    m_group->setExclusive(true);
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    ArrangeButtons();
}

void TRadioGroup::RebuildButtons() {
    for (QRadioButton* button : m_buttons) {
        m_group->removeButton(button);
        delete button;
    }
    m_buttons.clear();
    for (int i = 0; i < m_items.size(); ++i) {
        auto* button = new QRadioButton(m_items[i], this);
        m_group->addButton(button, i);
        button->show();
        m_buttons.append(button);
    }
    ArrangeButtons();
    UpdateTabStop();
}

// Columns of equal width filled top to bottom; the rows share the height below the title.
void TRadioGroup::ArrangeButtons() {
    if (m_buttons.isEmpty())
        return;
    const QRect area = contentsRect().adjusted(6, 0, -2, -2);
    const int count = static_cast<int>(m_buttons.size());
    const int rows = (count + m_columns - 1) / m_columns;
    const int columnWidth = area.width() / m_columns;
    const int rowHeight = area.height() / rows;
    const int topMargin = area.top() + (area.height() % rows) / 2;
    for (int i = 0; i < count; ++i) {
        const int column = i / rows;
        const int row = i % rows;
        m_buttons[i]->setGeometry(area.left() + column * columnWidth, topMargin + row * rowHeight, columnWidth,
                                  rowHeight);
    }
}

// The group is one stop in the tab chain, at its selected item (the first while none is);
// arrow keys move between the items.
void TRadioGroup::UpdateTabStop() {
    QAbstractButton* stop = m_group->checkedButton();
    if (stop == nullptr && !m_buttons.isEmpty())
        stop = m_buttons.front();
    for (QRadioButton* button : m_buttons)
        button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}
