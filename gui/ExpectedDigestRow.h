// The window's Expected digest row: a caption, a field for the digest the user expects, a
// button that pastes it from the clipboard, and the verdict beside them. The row compares the
// field with the digest on show whenever either changes; a field naming another algorithm asks
// the window to select it. After a file was hashed the row fills an empty field from a checksum
// list beside the file. The field is not saved between runs.
#pragma once

#include <QObject>
#include <QString>

class QLabel;
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
    QLabel* lblVerdict;

    // The digest now on show and its algorithm; an empty digest when there is none.
    void SetResult(const QString& digest, const QString& algorithm);
    // After filePath was hashed with algorithm: an empty field, or one that a list filled, takes
    // the file's digest from a list beside it, or is emptied when there is none. Answers the
    // algorithm of the digest the list gave ("MD5", "SHA1", "SHA256"), empty when none.
    QString OfferSidecar(const QString& filePath, const QString& algorithm);

    // The whole verdict, also when the label has to shorten it.
    QString VerdictText() const { return m_verdictText; }

signals:
    // The field now holds a digest of this algorithm ("MD5", "SHA1", "SHA256").
    void AlgorithmNamed(const QString& algorithm);

private:
    void FieldChanged();
    void PasteClicked();
    void UpdateVerdict();

    QString m_digest;
    QString m_algorithm;
    // The list the field was filled from; empty once the user changes the field.
    QString m_source;
    QString m_verdictText;
};
