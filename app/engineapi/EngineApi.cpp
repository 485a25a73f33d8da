// EngineApi: binds the exports of libwavorn by name with QLibrary.
#include "engineapi/EngineApi.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// The installed library folder, from the program's folder (cmake/install.cmake).
#ifndef VUMO_LIBDIR_FROM_BIN
#define VUMO_LIBDIR_FROM_BIN "../lib"
#endif

namespace vumo
{

EngineApi::EngineApi() : EngineApi(QCoreApplication::applicationDirPath()) {}

EngineApi::EngineApi(const QString& programFolder)
    : m_resolver([this](const char* name) { return resolveFromLibrary(name); }),
      m_programFolder(programFolder)
{
}

EngineApi::EngineApi(Resolver resolver) : m_resolver(std::move(resolver)) {}

QFunctionPointer EngineApi::resolve(const char* name)
{
    const QFunctionPointer fn = m_resolver ? m_resolver(name) : nullptr;
    // A library that could not be loaded has said so already; otherwise the export is missing.
    if (fn == nullptr && m_errorText.isEmpty())
        m_errorText =
            QStringLiteral("The engine library wavorn has no export %1.").arg(QLatin1String(name));
    return fn;
}

void EngineApi::loadLibrary()
{
    // Only where the program put it: the program's own folder, or the library folder of an
    // installed program. Never the current folder, the application folder or the system's
    // library path, where a file from elsewhere could stand in for the engine.
#if defined(Q_OS_WIN)
    const QString file = QStringLiteral("wavorn.dll");
#elif defined(Q_OS_MACOS)
    const QString file = QStringLiteral("libwavorn.dylib");
#else
    const QString file = QStringLiteral("libwavorn.so");
#endif
    QStringList tried;
    QStringList folders{m_programFolder, m_programFolder + QStringLiteral("/../lib"),
                        m_programFolder + QStringLiteral("/" VUMO_LIBDIR_FROM_BIN)};
    folders.removeDuplicates();
    for (const QString& folder : std::as_const(folders))
    {
        const QString path = QDir::cleanPath(folder + u'/' + file);
        if (!QFileInfo(path).isFile())
            continue;
        m_library.setFileName(path);
        if (m_library.load())
            return;
        tried.append(m_library.errorString());
    }
    m_errorText = tried.isEmpty() ? QStringLiteral("The engine library wavorn could not be loaded: "
                                                   "%1 is not in %2.")
                                        .arg(file, QDir::toNativeSeparators(m_programFolder))
                                  : QStringLiteral("The engine library wavorn could not be loaded: "
                                                   "%1")
                                        .arg(tried.join(QStringLiteral("; ")));
}

QFunctionPointer EngineApi::resolveFromLibrary(const char* name)
{
    if (!m_loadTried)
    {
        m_loadTried = true;
        loadLibrary();
    }
    if (!m_library.isLoaded())
        return nullptr;
    return m_library.resolve(name);
}

} // namespace vumo
