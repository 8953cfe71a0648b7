// Stand-ins for the platform's seams, shared by the tests of the program, the About box and
// msinfo: each records what it is asked.
#pragma once

#include "asciitext.h"
#include "assistivetech.h"
#include "registry.h"
#include "services.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <memory>
#include <set>
#include <utility>

namespace fakes {

// A started program ends when the test says so: started->end().
using Program = platform::StartedProgram;

struct Start
{
    QString program;
    QStringList arguments;
    QString workingFolder;
    std::shared_ptr<Program> started;
    QByteArray answers; // what startAnswered wrote on its standard input
};

// Every start succeeds unless `fail` is set. What it starts has ended at once, unless
// `running` is set: then it runs until the test ends it (starts[i].started->end()).
class ProcessStarter : public platform::ProcessStarter
{
public:
    platform::Started start(const QString &program, const QStringList &arguments,
                            const QString &workingFolder, QString *reason) override
    {
        auto started = fail ? nullptr : std::make_shared<Program>();
        starts.append(Start {program, arguments, workingFolder, started, {}});
        if (fail)
            *reason = QStringLiteral("fallo simulado");
        else if (!running)
            started->end();
        return started;
    }
    platform::Started startAnswered(const QString &program, const QStringList &arguments,
                                    const QString &workingFolder, const QByteArray &answers,
                                    QString *reason) override
    {
        platform::Started started = start(program, arguments, workingFolder, reason);
        starts.last().answers = answers;
        return started;
    }
    QList<Start> starts;
    bool fail = false;
    bool running = false;
};

class MessageBoxes : public platform::MessageBoxes
{
public:
    void show(QWidget *parent, const QString &text) override
    {
        texts.append(text);
        parents.append(parent);
        if (onShow)
            onShow();
    }
    QStringList texts;
    QList<QWidget *> parents;
    std::function<void()> onShow;
};

// An in-memory registry under HKEY_LOCAL_MACHINE: keys may be read-only, and every open is
// logged by its key name (platform::regKeyName).
class Registry : public platform::KeyRegistry
{
public:
    void set(const std::string &subKey, const std::string &name, std::uint32_t type,
             std::string_view data)
    {
        keys[key(subKey)][dos::asciiLowered(name)] = {type, {data.begin(), data.end()}};
    }
    // A text value, with its zero byte.
    void setText(const std::string &subKey, const std::string &name, const std::string &text)
    {
        set(subKey, name, platform::REG_SZ, std::string_view(text.c_str(), text.size() + 1));
    }
    static std::string key(const std::string &subKey)
    {
        return platform::regKeyName(platform::HKEY_LOCAL_MACHINE, subKey);
    }
    platform::RegKeys keys;
    std::set<std::string> readOnly; // key names
    std::vector<std::string> openLog;

protected:
    platform::LONG loadKey(const std::string &keyName, bool wantsWrite,
                           platform::RegValues *values) override
    {
        openLog.push_back(keyName);
        const auto found = keys.find(keyName);
        if (found == keys.end())
            return platform::ERROR_FILE_NOT_FOUND;
        if (wantsWrite && readOnly.count(keyName))
            return platform::ERROR_ACCESS_DENIED;
        *values = found->second;
        return platform::ERROR_SUCCESS;
    }
};

// A screen reader on or off, as the test says; counts how often it was asked.
class AssistiveTechnology : public platform::AssistiveTechnology
{
public:
    bool isOn() override
    {
        ++asked;
        return on;
    }
    bool on = false;
    int asked = 0;
};

} // namespace fakes
