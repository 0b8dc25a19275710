#include "documents/RTFReplace.h"
#include "LibreOfficeText.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every template the office edits is filled with every tag its documents add,
// then read by LibreOffice: the values must be there, diacritics included,
// and no placeholder may be left over.
namespace {

const QString kTemplates = QStringLiteral(KESTRUN_SOURCE_DIR "/resources/templates/rtf/");

QStringList dispositionTags()
{
    return {"[JUDET]", "[TIPLOC]", "[LOC]", "[NR]", "[DATA]", "[DATA01]", "[NR_REF]", "[DLUI]", "[NUME]",
            "[NRCERERE]", "[DATACERERE]", "[NRDATACERE]", "[PRIMAR]", "[LOCART]", "[Domiciliu]", "[CNP]",
            "[Motiv]", "[SECRETAR]", "[CONTABIL]", "[SUMA]", "[LITERA]", "[PERIOADA]", "[TOTAL]", "[CUAJUT]",
            "[SL]", "[SUMAL]", "[SG]", "[SUMAG]", "[SE]", "[SUMAE]", "[ST]", "[SUMAT]", "[DREPTURI]"};
}

QStringList formTags()
{
    QStringList t{"[UAT]", "[NR_CERE]", "[DATAAZI]", "[DATACERE]", "[NUME]", "[PRENUME]", "[CNP]", "[ADRESA]",
                  "[LOCALITATEA]", "[JUDET]", "[TVENIT]", "[VENITM]", "[M1]", "[M2]", "[CONT]", "[BANCA]",
                  "[NUMET]", "[AI]", "[SU]", "[SL]", "[SG]", "[SE]", "[ST]", "[FURNT]", "[FURNG]", "[FURNE]",
                  "[CODCLT]", "[CODCLG]", "[CODCLE]", "[PODG]", "[PODE]", "[NR_MEMBRI]", "[NR_COPII]"};
    for (int n = 1; n <= 4; ++n) t << QStringLiteral("[S%1]").arg(n);
    for (int n = 1; n <= 6; ++n) t << QStringLiteral("[C%1]").arg(n);
    for (int n = 1; n <= 8; ++n) t << QStringLiteral("[P%1]").arg(n);
    for (const char *g : {"B", "P"})
        for (const char *f : {"NUME", "PRENUME", "CNP", "VENIT"})
            t << QStringLiteral("[%1%2]").arg(f, g);
    for (int k = 1; k <= 16; ++k)
        for (const char *f : {"NUMEA", "PRENUMEA", "CNPA", "VENITA"})
            t << QStringLiteral("[%1%2]").arg(f).arg(k);
    for (int k = 1; k <= 17; ++k)
        for (const char *f : {"NUMEC", "PRENUMEC", "CNPC"})
            t << QStringLiteral("[%1%2]").arg(f).arg(k);
    return t;
}

QStringList referatTags()
{
    return {"[JUDET]", "[Dlui]", "[NUME]", "[NRREF]", "[DATAREF]", "[NRCERERE]", "[DATACERERE]", "[Domiciliu]",
            "[CNP]", "[SUMA]", "[TOTAL]", "[INTOCMIT]", "[SECRETAR]", "[DIRECTOR]", "[LOCALIT]", "[SUPL]",
            "[SUPG]", "[SUPT]", "[SUPE]", "[DREPTURI]"};
}

QStringList fisaTags()
{
    return {"[NRC]", "[DATAC]", "[DATAF]", "[NUMES]", "[PRENUMES]", "[OPERATOR]", "[NUMEOP]", "[PRENUMEOP]"};
}

// A distinct value per tag, with Romanian letters so the code page is exercised.
QString valueFor(int i)
{
    return QStringLiteral("v%1ăţ").arg(i);
}

} // namespace

TEST(RtfTemplates, FilledDocumentsReadByLibreOffice)
{
    // childSlots: the children a form lists; the full form for up to six has
    // its own template, every other form lists the ten the warning speaks of.
    struct Doc { QString name; QStringList tags; bool wholeDocument; int childSlots = 0; };
    const QList<Doc> docs = {
        {"Stabilire.rtf", dispositionTags(), false}, {"Modificare.rtf", dispositionTags(), false},
        {"Incetare.rtf", dispositionTags(), false},  {"Respingere.rtf", dispositionTags(), false},
        {"Referat.rtf", referatTags(), false},       {"FisaV.rtf", fisaTags(), false},
        {"ModCerere.rtf", formTags(), true, 6},      {"ModCerere10c.rtf", formTags(), true, 10},
        {"ModCerereS.rtf", formTags(), true, 10},    {"ModelAncheta2.rtf", formTags(), true, 10},
    };
    QTemporaryDir dir;
    QStringList outputs;
    QHash<QString, QStringList> usedValues;
    for (const Doc &d : docs) {
        QFile t(kTemplates + d.name);
        ASSERT_TRUE(t.open(QIODevice::ReadOnly)) << d.name.toStdString();
        const QByteArray bytes = t.readAll();
        if (d.childSlots > 0) {
            EXPECT_TRUE(bytes.contains(QByteArray("[NUMEC") + QByteArray::number(d.childSlots) + ']')) << d.name.toStdString();
            EXPECT_FALSE(bytes.contains(QByteArray("[NUMEC") + QByteArray::number(d.childSlots + 1) + ']')) << d.name.toStdString();
        }
        TRTFReplace rtf;
        rtf.RTFSursa = t.fileName();
        rtf.RTFDest = dir.filePath(d.name);
        QStringList used;
        auto addAll = [&] {
            for (int i = 0; i < d.tags.size(); ++i) {
                rtf.AdaugaCheie(d.tags[i], valueFor(i));
                if (bytes.toUpper().contains(d.tags[i].toUpper().toLatin1()))
                    used << valueFor(i);
            }
        };
        if (d.wholeDocument) {
            addAll();
            rtf.CompleteazaDocument(QStringLiteral("Anexa"));
        } else {
            ASSERT_TRUE(rtf.IncepeDocument()) << d.name.toStdString();
            addAll();
            rtf.AdaugaPagini(1);
        }
        rtf.InchideDocument();
        EXPECT_FALSE(used.isEmpty()) << d.name.toStdString();
        outputs << rtf.RTFDest;
        usedValues.insert(rtf.RTFDest, used);
    }
    const QHash<QString, QString> texts = libreOfficeText(outputs, dir.path());
    for (const QString &out : outputs) {
        const QString text = texts.value(out);
        ASSERT_FALSE(text.isEmpty()) << out.toStdString();
        EXPECT_FALSE(text.contains(u'[')) << "placeholder left in " << out.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("ROMÂNIA")) || text.contains(QStringLiteral("Anexa"))
                    || text.contains(QStringLiteral("FIȘA")) || text.contains(QStringLiteral("FIŞA")))
            << out.toStdString();
        for (const QString &v : usedValues.value(out)) {
            // Placeholders written in capitals take the value in capitals.
            EXPECT_TRUE(text.contains(v) || text.contains(v.toUpper()))
                << v.toStdString() << " missing in " << out.toStdString();
        }
    }
}
