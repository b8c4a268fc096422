// A titled frame of radio buttons built from a list of item texts, arranged in columns,
// with at most one item selected. ItemIndex is -1 while none is.
#pragma once

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TRadioGroup(const QString& title, QWidget* parent = nullptr);

    const QStringList& Items() const { return m_items; }
    // Replaces the items; a selection beyond the new last item moves to the last one.
    void SetItems(const QStringList& items);

    int Columns() const { return m_columns; }
    // At least 1.
    void SetColumns(int columns);

    // The selected item, or -1.
    int ItemIndex() const;
    // Selects the item; an index outside the items (-1 included) selects none.
    void SetItemIndex(int index);

    // The item buttons, in item order; they are rebuilt whenever the items change.
    const QList<QRadioButton*>& Buttons() const { return m_buttons; }

signals:
    // The selection changed through a click or a key press.
    void Clicked();
    // The selection changed in any way, SetItemIndex included.
    void Changed();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void RebuildButtons();
    void ArrangeButtons();
    void UpdateTabStop();

    QStringList m_items;
    int m_columns = 1;
    QButtonGroup* m_group;
    QList<QRadioButton*> m_buttons;
};
