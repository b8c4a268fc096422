// The Algorithm group's choices: MD5, SHA1 and SHA256 as its first three items (their stored
// indexes 0-2 unchanged), and a fourth item whose label is a drop-down of every other algorithm
// of the table, laid over the item so that the group keeps its size.
#pragma once

#include <QObject>
#include <QStringList>

class QComboBox;
class TRadioGroup;

class TAlgorithmChoice : public QObject {
    Q_OBJECT
public:
    // The index of the item the drop-down belongs to.
    static constexpr int OtherItem = 3;

    // Gives group its four items and lays the drop-down over the fourth.
    explicit TAlgorithmChoice(TRadioGroup* group);

    QComboBox* Combo() const { return m_combo; }

    // The group's items with the fourth replaced by the drop-down's algorithm: what a hash
    // request names.
    QStringList RequestItems() const;

    // The drop-down's algorithm name ("SHA512").
    QString Other() const;
    // Puts the drop-down on the algorithm named (a table name, any case and punctuation);
    // false, and nothing changed, for a name it does not list.
    bool SetOther(const QString& name);

    // The drop-down's algorithm when nothing usable is stored.
    static constexpr char DefaultOther[] = "SHA512";
    // Puts the drop-down on the stored algorithm name as SetOther does; a name it does not list
    // (garbage, an algorithm of the first three items, an empty or overlong text) puts it on
    // DefaultOther instead and answers false, so that the window can say so.
    bool RestoreOther(const QString& stored);
    // What the status line says when RestoreOther answered false.
    static QString NotUnderstoodText();

    // Selects the item, or the fourth item and the drop-down entry, for the algorithm named;
    // false, and nothing changed, for a name of no algorithm.
    bool Select(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FollowItem();

    TRadioGroup* m_group;
    QComboBox* m_combo;
};
