#include "gui/InputRow.h"

#include "gui/ControlStrings.h"
#include "gui/RadioGroup.h"
#include "pipeline/HashPipeline.h"
#include "tools/DelimitedList.h"

#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>

namespace {

// The first local file among the URLs of a drag, or empty text.
QString FirstLocalFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}

} // namespace

TInputRow::TInputRow(QWidget* window) : QObject(window), m_window(window) {
    rgInputType = new TRadioGroup(QStringLiteral("Select Input Type"), window);
    memVal = new QPlainTextEdit(window);
    memVal->setLineWrapMode(QPlainTextEdit::NoWrap);
    memVal->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memVal->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memVal->setTabChangesFocus(true); // Tab moves to the next control, as in every other field
    rgInputType->setObjectName(QStringLiteral("rgInputType"));
    memVal->setObjectName(QStringLiteral("memVal"));

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
