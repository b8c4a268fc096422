// The window's Expected digest row: a caption, a field for the digest the user expects, a
// button that pastes it from the clipboard, and the verdict beside them. The row compares the
// field with the digest on show, and with the further digests of the same read, whenever either
// changes. A digest that no tag or list names may be of any algorithm of its length: the window
// asks for all of them in one read (AlgorithmsToTry), and the verdict names the one that matches.
// A field naming an algorithm of another length than the selected one's asks the window to
// select it once the digest is whole: after a paste or a drop, or when the user leaves the field
// (or presses Enter) after typing. While digits are typed that may still
// become a longer digest, the verdict counts them ("32 of 64 digits"), or says which algorithm
// a whole digest of that length is of, and selects nothing; a hash ending meanwhile does not end
// the typing.
// Several pasted lines of a list give the line naming the file on screen; a checksum list
// file dropped on the field is read for that line too. After a file was hashed the row fills an empty field from the
// checksum list beside the file that the hashing thread looked up. A digest a list gave belongs to
// the file it was picked for: the next request for another input takes it away, while a digest
// the user typed or pasted stays. The field is not saved between runs.
#pragma once

#include "pipeline/DigestVerdict.h"
#include "pipeline/ExpectedDigest.h"
#include "pipeline/HashPipeline.h"
#include "pipeline/SidecarDigest.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class QLabel;
class TFitLabel;
class QLineEdit;
class QToolButton;
class QWidget;

class TExpectedDigestRow : public QObject {
    Q_OBJECT
public:
    // The controls become children of window; the window places them.
    explicit TExpectedDigestRow(QWidget* window);

    QLabel* lblExpected;
    QLineEdit* edtExpected;
    QToolButton* btnPasteExpected;
    TFitLabel* lblVerdict;

    // The digest now on show and its algorithm, and the further digests of the same read; an
    // empty digest when there is none.
    void SetResult(const QString& digest, const QString& algorithm, const std::vector<TAlgorithmDigest>& extra = {});
    // The algorithm selected for the next calculation (its table name, "SHA3-256"): named while
    // the verdict waits, and kept when the field's digest may be of it.
    void SetSelected(const QString& algorithm);
    // The algorithms the next calculation computes besides the selected one, so that the field's
    // digest is compared with each: every algorithm of its length when no tag or list names its
    // algorithm and several share that length; empty otherwise.
    std::vector<std::u16string> AlgorithmsToTry() const;
    // Shares the row's width between the field and the verdict: the verdict gets the width of
    // its whole text as long as the field keeps MinimumFieldWidth, the field the rest. A verdict
    // too wide even at MinimumVerdictPixelSize shows its shorter form, if it has one, with the
    // whole text as its tooltip. The window calls it after its anchors placed the row; the row
    // calls it when the verdict changes.
    void Arrange();
    static constexpr int MinimumFieldWidth = 150;
    // The verdict shrinks down to this font size where even that leaves it too wide.
    static constexpr int MinimumVerdictPixelSize = 9;
    // The path of the file on screen, empty when the input is no file: pasted lines and
    // dropped lists give the line naming its file name.
    void SetFileOnScreen(const QString& path);
    // A request for the input on screen starts: a digest a list gave for another input (or
    // for a file when a text is hashed) empties the field; the user's own digest stays.
    void RequestStarting();
    // Whether the field would take a list's digest: it is empty, or a list beside the last
    // file filled it.
    bool TakesListDigest() const;
    // After a file was hashed: an empty field, or one that a list filled, takes the digest the
    // hashing thread found in a list beside the file, or is emptied when it found none.
    void OfferListDigest(const std::optional<TSidecarDigest>& found);

    // The whole verdict, also when the label shows its shorter form.
    QString VerdictText() const { return m_verdictText; }

signals:
    // The field now holds a digest of this algorithm ("MD5", "SHA1", "SHA256"), which the
    // selected one cannot be.
    void AlgorithmNamed(const QString& algorithm);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FieldChanged();
    // The digest typed is whole: select its algorithm and judge it.
    void Commit();
    void SelectIfOtherLength(const TExpectedDigest& expected);
    void TakeDroppedList(const QString& listPath);
    void PasteClicked();
    // The field's digest as read, of the list's algorithm when a list filled it.
    TExpectedDigest Expected() const;
    void UpdateVerdict();
    // The verdict's state colour, made readable on the window's background.
    void ShowVerdictColour();

    QString m_digest;
    QString m_algorithm;
    std::vector<TAlgorithmDigest> m_extra;
    QString m_selected;
    // The list the field was filled from; empty once the user changes the field.
    QString m_source;
    // The algorithm of the list the field's digest came from; empty for a digest of the user's.
    QString m_listAlgorithm;
    // A list beside the hashed file filled the field (not one the user dropped): the next
    // file's list may replace it.
    bool m_filledBeside = false;
    // The path of the file whose line a list gave the field.
    QString m_listInput;
    QString m_verdictText;
    TVerdictState m_verdictState = TVerdictState::None;
    QString m_verdictShort;
    QString m_filePath;
    QString m_fileName;
    // A key that types one character is on its way to the field; the field is being typed in.
    bool m_keyTyped = false;
    bool m_typing = false;
    // What a dropped list said when it had no digest to give; cleared by the next change of the
    // field, of the file on screen or of the digest on show. The names in it, which a narrow
    // row shortens.
    QString m_note;
    QStringList m_noteNames;
};
