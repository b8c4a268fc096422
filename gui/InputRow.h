// The window's input row: the input type group over the text box that holds the text, the
// digits or the file name to hash. A local file dropped on the window, or on a text box the
// window hands over with TakeFileDrops, becomes the input: its path goes into the text box and
// the type becomes "File name (Hash the File)"; so does a file chosen in the open dialog (the
// open button beside the text box, or Ctrl+O), which is then hashed. While the window hashes,
// the text box is read-only, the type group and the open button disabled and a dropped file
// refused.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QEvent;
class QMimeData;
class QPlainTextEdit;
class QToolButton;
class QWidget;
class TMemoLines;
class TRadioGroup;
class TRadioGroupItems;
class TStrings;

class TInputRow : public QObject {
    Q_OBJECT
public:
    // Asks the user for a file to open, starting in folder (empty: the dialog's own choice);
    // answers its path, or empty text when the user cancelled. Tests put their own in place of
    // the system's dialog.
    using TFileDialog = std::function<QString(QWidget* parent, const QString& folder)>;

    // The controls become children of window; the window places them.
    explicit TInputRow(QWidget* window);
    ~TInputRow() override;

    TRadioGroup* rgInputType;
    QPlainTextEdit* memVal;
    // Opens the file dialog (OpenFile).
    QToolButton* btnOpenFile;

    // The text box's lines, kept as given (see TMemoLines): what a hash request takes and what
    // the window stores between runs, in the encoding its data set was loaded in.
    TStrings* Lines() const;
    QString Text() const;

    // Locks the row while busy: the text box stays readable and scrollable, nothing changes it.
    void ShowBusy(bool busy);

    // Takes the first local file of a drop as the input; answers whether there was one.
    bool WMDropFiles(const QMimeData* data);
    // A drag of a local file (DragEnter, DragMove, Drop): refused while busy, else accepted,
    // and on Drop the file becomes the input. Answers false, and touches nothing, for another
    // event or a drag without a local file.
    bool FileDragEvent(QEvent* event);
    // Drops of a local file on target, a text box that would take them as text, come to the row
    // instead, as long as the window accepts drops.
    void TakeFileDrops(QWidget* target);

    // Asks for a file through the file dialog; a chosen file becomes the input and FileChosen
    // follows. Nothing happens while busy or when the dialog is cancelled.
    void OpenFile();
    // The dialog OpenFile asks through; the default is the system's file dialog.
    void SetFileDialog(TFileDialog dialog);

signals:
    // A file chosen in the dialog is the input now: the window hashes it.
    void FileChosen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    std::unique_ptr<TMemoLines> m_memoLines;
    std::unique_ptr<TRadioGroupItems> m_inputTypeItems;
    TFileDialog m_fileDialog;
    bool m_busy = false;
};
