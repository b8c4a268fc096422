// A plain-text label that never cuts its text silently. Too long for its width, the text is
// drawn in a smaller font, down to a minimum pixel size, on up to two lines where the label is
// tall enough for them, and past that elided on one line; then its tooltip shows the whole text
// above the label's own tooltip. A text naming files can have those names cut in their own
// middles instead, so that the words around them stay whole. text() stays the whole text
// throughout. Without SetFitting it draws like a QLabel.
#pragma once

#include <QLabel>
#include <QList>
#include <QPointF>
#include <QStringList>

class TFitLabel : public QLabel {
    Q_OBJECT
public:
    explicit TFitLabel(QWidget* parent = nullptr) : QLabel(parent) {}

    // minimumPixelSize: the smallest font the text may shrink to (0 or the font's own size:
    // never shrink); elide: where the text is cut once the smallest font is still too wide;
    // maxLines 2 lets a text that does not fit one line break into two, after the '-' or '/'
    // nearest its middle, else in its middle (a digest's halves).
    void SetFitting(int minimumPixelSize, Qt::TextElideMode elide, int maxLines = 1);
    // Texts the label may show in turn, drawn in one size: the font is the largest in which
    // each of them fits as well as the text on show, so that no text looks smaller than another.
    void SetFittedTogether(const QStringList& texts);
    // Parts of the text (file and list names) that are shortened in their middles, longest
    // first, when the text does not fit at the smallest size, before the text itself would be
    // elided. Parts that the text does not hold are passed over.
    void SetElidedParts(const QStringList& parts);

    // The font and text as drawn at the current size; ShownText joins its lines with '\n'.
    QFont ShownFont() const;
    QStringList ShownLines() const;
    QString ShownText() const { return ShownLines().join(u'\n'); }
    bool IsElided() const { return ShownLines().join(QString()) != text(); }
    // What hovering shows: the label's tooltip, with the whole text on top when it is elided.
    QString ShownToolTip() const;
    // Where each shown line is drawn: the left end of its baseline, in the label's coordinates.
    QList<QPointF> ShownLineOrigins() const;
    // The place in text() between two characters nearest point (on the line under it, or the
    // nearest line); -1 when the text is elided and its shown characters are not all text()'s.
    qsizetype PositionAt(QPointF point) const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The lines text takes in font within the label, or none when it does not fit.
    QStringList LinesIn(const QString& text, const QFont& font) const;
    // text on one line within width, its elided parts shortened as far as needed; empty when
    // shortening them is not enough.
    QString WithPartsElided(const QFontMetrics& metrics, int width) const;

    bool m_fitting = false;
    int m_minimumPixelSize = 0;
    Qt::TextElideMode m_elide = Qt::ElideRight;
    int m_maxLines = 1;
    QStringList m_together;
    QStringList m_elidedParts;
};
