#include "payments/PaymentValues.h"

#include "core/Form4.h"
#include "core/ResourceStore.h"
#include "documents/DocumentError.h"
#include "documents/ExpXLSOLE.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>

namespace PaymentValues {

void openTemplate(TExpXLSOLE &filler, const QString &path)
{
    if (!filler.OpenTemplate(path, Form4().CuOLE->isChecked()))
        refuse(QStringLiteral("Nu exista modelul ") + QDir::toNativeSeparators(path));
}

void refuse(const QString &message)
{
    throw DocumentError(message.toStdString());
}

QString resourcePath(const QString &name)
{
    const QString path = ResourceStore::find(name, QStringLiteral("MODEL"));
    if (path.isEmpty())
        refuse(QStringLiteral("Programul nu contine resursa %1 de tipul MODEL.").arg(name));
    return path;
}

QByteArray resource(const QString &name)
{
    QFile in(resourcePath(name));
    if (!in.open(QIODevice::ReadOnly))
        refuse(QStringLiteral("Nu pot citi resursa %1.").arg(name));
    return in.readAll();
}

} // namespace PaymentValues
