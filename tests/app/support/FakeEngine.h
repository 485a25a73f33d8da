// FakeEngine: a stand-in for the engine library that records every call and answers from a
// table, so commands can be checked without the library or a sound device.
#pragma once

#include "engineapi/EngineBinding.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <functional>

namespace vumo
{

class FakeEngine : public EngineBinding
{
public:
    // Results by export name; an export not listed answers 0.
    QHash<QString, int32_t> results;
    // When set, answers every call instead of the table (name, the call as recorded).
    std::function<int32_t(const QString& name, const QString& call)> answer;
    // Every call, as "SetTrackAttr(0,255,127)", in order.
    QStringList calls;

    QString errorText() const override { return {}; }

    // The recorded calls of one export.
    QStringList callsOf(const QString& name) const
    {
        return calls.filter(QRegularExpression(u'^' + QRegularExpression::escape(name) + "\\("));
    }

#define VUMO_FAKE_EXPORT(name, params, args)                                                       \
    int32_t name params override                                                                   \
    {                                                                                              \
        return record(QStringLiteral(#name), argumentText args);                                   \
    }
    VUMO_ENGINE_EXPORTS(VUMO_FAKE_EXPORT)
#undef VUMO_FAKE_EXPORT

private:
    static QString text(const char* s)
    {
        return QString::fromUtf8(s);
    }
    template <typename N> static QString text(N v)
    {
        return QString::number(v);
    }
    template <typename... Args> static QString argumentText(Args... args)
    {
        QStringList parts;
        (parts.append(text(args)), ...);
        return parts.join(u',');
    }

    int32_t record(const QString& name, const QString& arguments)
    {
        const QString call = name + u'(' + arguments + u')';
        calls.append(call);
        if (answer)
            return answer(name, call);
        return results.value(name, 0);
    }
};

} // namespace vumo
