#include "cli/CliCommand.h"

#include "platform/Descriptors.h"
#include "platform/Terminal.h"

#include <QStringDecoder>

void Write(TCliOutput& out, const QString& text) {
    out.Out(text.toStdString());
}

int Failure(TCliOutput& out, const QString& message) {
    out.Err((message + u'\n').toStdString());
    return ExitFailure;
}

std::optional<THashAlgorithm> AlgorithmByName(const QString& name) {
    return HashAlgorithmByName(name.toStdString());
}

std::optional<QString> DecodeUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

bool StandardErrorIsTerminal() {
    return IsTerminal(StandardErrorFd);
}
