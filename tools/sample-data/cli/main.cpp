// kestrun-sample-data --out <folder> [--seed N] [--size N]
// Fills a fresh data folder with a sample commune.
#include "sample-data/SampleGenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <cstdio>

namespace {

int usage(const QString &problem)
{
    QTextStream err(stderr);
    if (!problem.isEmpty())
        err << problem << '\n';
    err << "usage: kestrun-sample-data --out <folder> [--seed N] [--size N]\n";
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    SampleGenerator::Options o;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == u"--help" || a == u"-h")
            return usage({});
        if (i + 1 >= args.size())
            return usage(QStringLiteral("missing value after %1").arg(a));
        const QString v = args[++i];
        bool ok = true;
        if (a == u"--out")
            o.folder = v;
        else if (a == u"--seed")
            o.seed = v.toULongLong(&ok);
        else if (a == u"--size")
            o.size = v.toLongLong(&ok);
        else
            return usage(QStringLiteral("unknown option %1").arg(a));
        if (!ok)
            return usage(QStringLiteral("%1 needs a whole number, not \"%2\"").arg(a, v));
    }
    if (o.folder.isEmpty())
        return usage(QStringLiteral("--out is required"));
    try {
        QElapsedTimer timer;
        timer.start();
        const SampleGenerator::Summary s = SampleGenerator::generate(o);
        QTextStream(stdout) << s.requests << " requests, " << s.members << " members, " << s.logRows
                            << " log rows, months " << s.months.value(0) << " to " << s.months.value(s.months.size() - 1)
                            << ", written to " << o.folder << " in " << timer.elapsed() << " ms\n";
    } catch (const std::exception &e) {
        QTextStream(stderr) << QString::fromUtf8(e.what()) << '\n';
        return 1;
    }
    return 0;
}
