#pragma once

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace dorvent {

/// Qt's own texts in Simplified Chinese: the buttons of the message boxes, the file dialogs, the
/// print preview, the help of the command line. Looked for where Qt keeps its translations and
/// beside the program (a bundle); where there are none, Qt's English stays.
inline void installQtChinese(QTranslator& translator)
{
    for (const QString& folder : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                  QCoreApplication::applicationDirPath() + QStringLiteral("/translations")}) {
        if (translator.load(QStringLiteral("qtbase_zh_CN"), folder)) {
            QCoreApplication::installTranslator(&translator);
            return;
        }
    }
}

}  // namespace dorvent
