#include "gui/SaltRow.h"

#include "gui/ControlStrings.h"
#include "gui/Images.h"
#include "gui/PopupClickThrough.h"
#include "gui/RadioGroup.h"
#include "tools/DelimitedList.h"
#include "tools/SortedList.h"
#include "tools/TextUtils.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <initializer_list>

TSaltRow::TSaltRow(QWidget* window) : QObject(window) {
    rgSaltType = new TRadioGroup(QStringLiteral("Add Salt to Input"), window);
    btnSaltDel =
        ImageButton(window, QStringLiteral("salt-delete"), QSize(16, 16), QStringLiteral("Delete salt from history"),
                    QStringLiteral("Delete the current selected Salt"));
    btnSaltClear = ImageButton(window, QStringLiteral("salt-clear"), QSize(16, 16), QStringLiteral("Clear salt"),
                               QStringLiteral("Clear the current Salt"));
    Label1 = new QLabel(QStringLiteral("Added Input data (SALT): "), window);
    Label1->setTextFormat(Qt::PlainText);
    cbSalt = new QComboBox(window);
    cbSalt->setEditable(true);
    // The row keeps the history sorted itself; Enter must not add to it.
    cbSalt->setInsertPolicy(QComboBox::NoInsert);
    // The salt is hashed as typed: completion offers entries in a list the user picks from, and
    // never adds to or re-cases the text by itself (inline completion would, on Tab or Enter).
    cbSalt->completer()->setCompletionMode(QCompleter::PopupCompletion);
    cbSalt->completer()->setCaseSensitivity(Qt::CaseSensitive);
    PassOutsideClicksThrough(cbSalt->completer()->popup());
    // The list its arrow opens: view() makes the drop-down's popup window, which lives as long
    // as the box.
    PassOutsideClicksThrough(cbSalt->view()->window(), cbSalt);

    rgSaltType->setObjectName(QStringLiteral("rgSaltType"));
    Label1->setObjectName(QStringLiteral("Label1"));
    cbSalt->setObjectName(QStringLiteral("cbSalt"));
    btnSaltDel->setObjectName(QStringLiteral("btnSaltDel"));
    btnSaltClear->setObjectName(QStringLiteral("btnSaltClear"));

    m_saltItems = std::make_unique<TComboItemsStrings>(cbSalt);
    m_saltTypeItems = std::make_unique<TRadioGroupItems>(rgSaltType);
    SplitTextToList(QStringLiteral("None,Prefix,Suffix"), *m_saltTypeItems, u',');
    rgSaltType->SetColumns(m_saltTypeItems->Count());

    connect(btnSaltDel, &QToolButton::clicked, this, &TSaltRow::btnSaltDelClick);
    connect(btnSaltClear, &QToolButton::clicked, this, &TSaltRow::btnSaltClearClick);
    cbSalt->lineEdit()->installEventFilter(this);
}

TSaltRow::~TSaltRow() = default;

TStrings* TSaltRow::History() const {
    return m_saltItems.get();
}

void TSaltRow::Remember(const QString& salt) {
    if (!salt.isEmpty())
        SortedAdd(salt, *m_saltItems, false);
}

void TSaltRow::ShowBusy(bool busy) {
    for (QWidget* control : std::initializer_list<QWidget*>{rgSaltType, cbSalt, btnSaltDel, btnSaltClear})
        control->setEnabled(!busy);
}

void TSaltRow::btnSaltClearClick() {
    cbSalt->setEditText(QString());
}

void TSaltRow::btnSaltDelClick() {
    const QString salt = Trim(cbSalt->currentText());
    int index = SortedFind(salt, m_saltItems.get(), false, false);
    if (salt.isEmpty() || index < 0)
        return;
    m_saltItems->Delete(index);
    if (index >= m_saltItems->Count())
        index = m_saltItems->Count() - 1;
    cbSalt->setEditText(index < 0 ? QString() : m_saltItems->Get(index));
}

bool TSaltRow::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the salt box would make a history entry that differs only in case current,
    // replacing the typed salt; the box keeps the key from the line edit and passes it on.
    if (watched == cbSalt->lineEdit() && event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        if (press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter) {
            emit EnterPressed();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
