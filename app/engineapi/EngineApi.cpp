// EngineApi: binds the exports of libwavorn by name with QLibrary.
#include "engineapi/EngineApi.h"

#include <QCoreApplication>
#include <QDir>

namespace vumo
{

EngineApi::EngineApi() : m_resolver([this](const char* name) { return resolveFromLibrary(name); })
{
}

EngineApi::EngineApi(Resolver resolver) : m_resolver(std::move(resolver)) {}

int EngineApi::boundCount() const
{
    int count = 0;
#define VUMO_ENGINE_COUNT(name, params, args) count += m_fn.name != nullptr ? 1 : 0;
    VUMO_ENGINE_EXPORTS(VUMO_ENGINE_COUNT)
#undef VUMO_ENGINE_COUNT
    return count;
}

QFunctionPointer EngineApi::resolve(const char* name)
{
    const QFunctionPointer fn = m_resolver ? m_resolver(name) : nullptr;
    // A library that could not be loaded has said so already; otherwise the export is missing.
    if (fn == nullptr && m_errorText.isEmpty())
        m_errorText =
            QStringLiteral("The engine library wavorn has no export %1.").arg(QLatin1String(name));
    return fn;
}

QFunctionPointer EngineApi::resolveFromLibrary(const char* name)
{
    if (!m_loadTried)
    {
        // The library is built into the executable's folder; an installed one is found by
        // the system's own search.
        m_loadTried = true;
        m_library.setFileName(QCoreApplication::applicationDirPath() + QStringLiteral("/wavorn"));
        if (!m_library.load())
        {
            m_library.setFileName(QStringLiteral("wavorn"));
            if (!m_library.load())
                m_errorText = QStringLiteral("The engine library wavorn could not be loaded: %1")
                                  .arg(m_library.errorString());
        }
    }
    if (!m_library.isLoaded())
        return nullptr;
    return m_library.resolve(name);
}

} // namespace vumo
