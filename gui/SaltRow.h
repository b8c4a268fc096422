// The window's salt controls: the "Add Salt to Input" group (None, Prefix, Suffix), the salt
// box with its history, and the buttons that delete the salt from the history and clear the
// box. The history is kept sorted by the row (SortedAdd); the box completes from it in a list
// the user picks from and never changes the typed salt by itself; Enter in the box changes
// nothing in it and is passed on as EnterPressed. While the window hashes, the row is disabled.
#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QComboBox;
class QLabel;
class QToolButton;
class QWidget;
class TComboItemsStrings;
class TRadioGroup;
class TRadioGroupItems;
class TStrings;

class TSaltRow : public QObject {
    Q_OBJECT
public:
    // The controls become children of window; the window places them.
    explicit TSaltRow(QWidget* window);
    ~TSaltRow() override;

    TRadioGroup* rgSaltType;
    QLabel* Label1;
    QComboBox* cbSalt;
    QToolButton* btnSaltDel;
    QToolButton* btnSaltClear;

    // The salt box's history, which the window stores between runs in the encoding its data set
    // was loaded in.
    TStrings* History() const;
    // Adds salt to the history at its sorted place (SortedAdd); an empty salt, or one the
    // history holds already, adds nothing.
    void Remember(const QString& salt);
    void ShowBusy(bool busy);

signals:
    // Enter in the salt box: the window calculates.
    void EnterPressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void btnSaltClearClick();
    // Deletes the salt in the box from the history and shows the entry after it (the last
    // one when it was the last); nothing when the history does not hold it.
    void btnSaltDelClick();

    std::unique_ptr<TComboItemsStrings> m_saltItems;
    std::unique_ptr<TRadioGroupItems> m_saltTypeItems;
};
