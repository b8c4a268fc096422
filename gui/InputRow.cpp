#include "gui/InputRow.h"

#include "gui/ControlStrings.h"
#include "gui/RadioGroup.h"
#include "pipeline/HashPipeline.h"
#include "tools/DelimitedList.h"
#include "tools/TextUtils.h"

#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolButton>
#include <QUrl>

#include <utility>

namespace {

// The first local file among the URLs of a drag, or empty text. Names are shown with the
// system's own separators, as its other programs show them (C:\data\a.iso on Windows).
QString FirstLocalFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return QDir::toNativeSeparators(url.toLocalFile());
    }
    return {};
}

QString AskForFile(QWidget* parent, const QString& folder) {
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Open a file to hash"), folder);
}

} // namespace

TInputRow::TInputRow(QWidget* window) : QObject(window), m_window(window), m_fileDialog(AskForFile) {
    rgInputType = new TRadioGroup(QStringLiteral("Select Input Type"), window);
    memVal = new QPlainTextEdit(window);
    memVal->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Scroll bars only once the text needs them: an empty box shows none.
    memVal->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    memVal->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    memVal->setTabChangesFocus(true); // Tab moves to the next control, as in every other field
    rgInputType->setObjectName(QStringLiteral("rgInputType"));
    memVal->setObjectName(QStringLiteral("memVal"));
    btnOpenFile = new QToolButton(window);
    btnOpenFile->setIcon(window->style()->standardIcon(QStyle::SP_DirOpenIcon));
    btnOpenFile->setToolTip(QStringLiteral("Open a file to hash (Ctrl+O)"));
    btnOpenFile->setAccessibleName(QStringLiteral("Open file"));
    btnOpenFile->setAccessibleDescription(btnOpenFile->toolTip());
    btnOpenFile->setFocusPolicy(Qt::StrongFocus);
    btnOpenFile->setObjectName(QStringLiteral("btnOpenFile"));
    connect(btnOpenFile, &QToolButton::clicked, this, &TInputRow::OpenFile);

    m_memoLines = std::make_unique<TMemoLines>(memVal);
    m_inputTypeItems = std::make_unique<TRadioGroupItems>(rgInputType);
    SplitTextToList(QStringLiteral("File name (Hash the File),Text Value (as is),Hexadecimal bytes,Base64 Encoded"),
                    *m_inputTypeItems, u',');
    rgInputType->SetColumns(m_inputTypeItems->Count());

    // The text box takes text drops itself; a dropped file becomes the input instead.
    TakeFileDrops(memVal->viewport());
}

TInputRow::~TInputRow() = default;

TStrings* TInputRow::Lines() const {
    return m_memoLines.get();
}

QString TInputRow::Text() const {
    return m_memoLines->Text();
}

void TInputRow::ShowBusy(bool busy) {
    m_busy = busy;
    memVal->setReadOnly(busy);
    rgInputType->setEnabled(!busy);
    btnOpenFile->setEnabled(!busy);
}

void TInputRow::OpenFile() {
    if (m_busy)
        return;
    // The dialog starts in the folder of the file named in the text box, if any.
    const QString named = Trim(Text());
    const QString folder =
        rgInputType->ItemIndex() == InputTypeFile && !named.isEmpty() ? QFileInfo(named).absolutePath() : QString();
    const QString path = m_fileDialog(m_window, folder);
    if (path.isEmpty() || m_busy)
        return;
    memVal->setPlainText(QDir::toNativeSeparators(path));
    rgInputType->SetItemIndex(InputTypeFile);
    emit FileChosen();
}

void TInputRow::SetFileDialog(TFileDialog dialog) {
    m_fileDialog = std::move(dialog);
}

bool TInputRow::WMDropFiles(const QMimeData* data) {
    const QString path = FirstLocalFile(data);
    if (path.isEmpty())
        return false;
    memVal->setPlainText(path);
    rgInputType->SetItemIndex(InputTypeFile);
    return true;
}

// While busy a file is refused: the drag shows the no-drop cursor.
bool TInputRow::FileDragEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (FirstLocalFile(drag->mimeData()).isEmpty())
            return false;
        if (m_busy)
            drag->ignore();
        else if (event->type() != QEvent::Drop || WMDropFiles(drag->mimeData()))
            drag->acceptProposedAction();
        return true;
    }
    default:
        return false;
    }
}

void TInputRow::TakeFileDrops(QWidget* target) {
    target->installEventFilter(this);
}

bool TInputRow::eventFilter(QObject* watched, QEvent* event) {
    if (m_window->acceptDrops() && FileDragEvent(event))
        return true;
    return QObject::eventFilter(watched, event);
}
