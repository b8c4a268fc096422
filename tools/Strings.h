// TStrings: the ordered list of text lines that the settings code, the sorted-list
// operations and the window's item lists share. TStringList is the plain in-memory list;
// the window offers its combo box items, radio group items and memo lines through
// adapters of the same interface.
#pragma once

#include "text/ListError.h"
#include "text/TextEncoding.h"

#include <QString>
#include <QStringList>

class TStrings {
public:
    virtual ~TStrings() = default;

    virtual int Count() const = 0;
    // Get, Put, Insert and Delete throw EListError for an index outside the list
    // (Insert accepts Count(), which appends).
    virtual QString Get(int index) const = 0;
    virtual void Put(int index, const QString& text) = 0;
    virtual void Insert(int index, const QString& text) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    // Appends and answers the index the line got.
    virtual int Add(const QString& text);

    // Brackets a batch of changes so that a control repaints once; nesting is allowed.
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}

    // The text form: every line followed by CR LF, the last one included.
    virtual QString Text() const;
    // Replaces the content with the lines of text, split at CR LF, lone CR and lone LF;
    // a final line break adds no empty line.
    virtual void SetText(const QString& text);

    TTextEncoding Encoding() const { return m_encoding; }
    void SetEncoding(TTextEncoding encoding) { m_encoding = encoding; }

protected:
    TStrings() = default;
    TStrings(const TStrings&) = default;
    TStrings& operator=(const TStrings&) = default;

    void CheckIndex(int index, int limit) const;

private:
    TTextEncoding m_encoding = TTextEncoding::Ansi;
};

// Holds BeginUpdate/EndUpdate around a scope, also when it is left by an exception.
class TStringsUpdate {
public:
    explicit TStringsUpdate(TStrings& list) : m_list(list) { m_list.BeginUpdate(); }
    ~TStringsUpdate() { m_list.EndUpdate(); }
    TStringsUpdate(const TStringsUpdate&) = delete;
    TStringsUpdate& operator=(const TStringsUpdate&) = delete;

private:
    TStrings& m_list;
};

class TStringList final : public TStrings {
public:
    TStringList() = default;
    explicit TStringList(QStringList lines) : m_lines(std::move(lines)) {}

    int Count() const override { return static_cast<int>(m_lines.size()); }
    QString Get(int index) const override;
    void Put(int index, const QString& text) override;
    void Insert(int index, const QString& text) override;
    void Delete(int index) override;
    void Clear() override { m_lines.clear(); }

    const QStringList& Lines() const { return m_lines; }

private:
    QStringList m_lines;
};

// Splits text into lines as text/PlainText.h's SplitLines does.
QStringList SplitLines(QStringView text);
