#pragma once
// A message Qt logged while its handler was swapped out, kept (the context's
// strings copied) so it can reach the handler it was meant for later.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace platform {

struct HeldMessage {
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;

    HeldMessage(QtMsgType t, const QMessageLogContext &context, const QString &said)
        : type(t), file(context.file), function(context.function), category(context.category),
          line(context.line), text(said)
    {
    }

    void passOn(QtMessageHandler handler) const
    {
        const QMessageLogContext context(file.constData(), line, function.constData(),
                                         category.constData());
        handler(type, context, text);
    }
};

} // namespace platform
