#include "japanese.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace murtesk::platform::qt {

bool InstallJapaneseUi(QApplication& app)
{
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));

    auto* translator = new QTranslator(&app);
    const bool loaded = translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded) {
        QApplication::installTranslator(translator);
    } else {
        delete translator;
    }

    const QStringList families = QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString& wanted : {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")}) {
        if (families.contains(wanted)) {
            QFont font(wanted);
            font.setPointSize(app.font().pointSize() > 0 ? app.font().pointSize() : 10);
            QApplication::setFont(font);
            break;
        }
    }
    return loaded;
}

}  // namespace murtesk::platform::qt
