// EngineApi: the engine library wavorn, bound by name on the first call of each export.
#pragma once

#include "engineapi/EngineBinding.h"
#include "wavorn.h"

#include <QFunctionPointer>
#include <QLibrary>
#include <QString>

#include <functional>
#include <type_traits>

namespace vumo
{

class EngineApi : public EngineBinding
{
public:
    // Finds an export by name; null when it is missing.
    using Resolver = std::function<QFunctionPointer(const char* name)>;

    // Binds libwavorn from the executable's folder, or from the library folder beside it
    // ("../lib", or the installed one such as "../lib/x86_64-linux-gnu") of an installed
    // program; never by a plain name, which the system would look up along its library path.
    EngineApi();
    // The same with programFolder standing for the executable's folder.
    explicit EngineApi(const QString& programFolder);
    // Binds through the given resolver (tests hand in their own functions).
    explicit EngineApi(Resolver resolver);

    EngineApi(const EngineApi&) = delete;
    EngineApi& operator=(const EngineApi&) = delete;

    QString errorText() const override { return m_errorText; }
    std::optional<uint64_t> frameChanges() const override { return m_frameChanges; }

    // Each wrapper binds its export on first use; kUnavailable when it cannot be bound. A call
    // that may change the current track is counted before it is made.
#define VUMO_ENGINE_WRAPPER(name, params, args)                                                    \
    int32_t name params override                                                                   \
    {                                                                                              \
        if constexpr (!readsOnly(#name))                                                           \
            ++m_frameChanges;                                                                      \
        return bind(m_fn.name, #name) ? m_fn.name args : kUnavailable;                             \
    }
    VUMO_ENGINE_EXPORTS(VUMO_ENGINE_WRAPPER)
#undef VUMO_ENGINE_WRAPPER

private:
    struct Table
    {
#define VUMO_ENGINE_SLOT(name, params, args)                                                       \
    decltype(&::name) name = nullptr;                                                              \
    static_assert(std::is_same_v<decltype(&::name), int32_t(WAVORN_CALL*) params>,                 \
                  "the export list disagrees with wavorn.h about " #name);
        VUMO_ENGINE_EXPORTS(VUMO_ENGINE_SLOT)
#undef VUMO_ENGINE_SLOT
    };

    template <typename Fn> bool bind(Fn& slot, const char* name)
    {
        if (slot == nullptr)
            slot = reinterpret_cast<Fn>(resolve(name));
        return slot != nullptr;
    }

    QFunctionPointer resolve(const char* name);
    QFunctionPointer resolveFromLibrary(const char* name);
    void loadLibrary();

    Resolver m_resolver;
    QString m_programFolder;
    QLibrary m_library;
    bool m_loadTried = false;
    QString m_errorText;
    Table m_fn;
    uint64_t m_frameChanges = 0;
};

} // namespace vumo
