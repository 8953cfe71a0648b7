#include "classcommands.h"

#include "classphotos.h"
#include "oserror.h"

#include <QFile>

#include <algorithm>
#include <map>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace importar {

namespace {

QString userName()
{
    const passwd *user = getpwuid(geteuid());
    return user ? QString::fromLocal8Bit(user->pw_name) : QStringLiteral("NOMBRE");
}

bool inThisSession(gid_t group)
{
    if (getegid() == group)
        return true;
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> groups(std::max(count, 0));
    return count > 0 && getgroups(count, groups.data()) == count
        && std::find(groups.begin(), groups.end(), group) != groups.end();
}

bool listedIn(const group &members, const QString &user)
{
    for (char **member = members.gr_mem; member && *member; ++member)
        if (QString::fromLocal8Bit(*member) == user)
            return true;
    return false;
}

} // namespace

QString publishRefusal()
{
    if (geteuid() == 0)
        return QString();
    const QString user = userName();
    const group *members = getgrnam(classroom::kGroup);
    if (members && inThisSession(members->gr_gid))
        return QString();
    // Membership is read at login: one granted since waits for the next session.
    if (members && listedIn(*members, user))
        return QStringLiteral("eres del grupo %1, pero esta sesión empezó antes: sal y vuelve a "
                              "entrar para publicar para la clase")
            .arg(QLatin1String(classroom::kGroup));
    return QStringLiteral("solo publican para la clase los del grupo %1; el administrador te "
                          "añade con «adduser %2 %1» y tú vuelves a entrar")
        .arg(QLatin1String(classroom::kGroup), user);
}

QStringList photoListing(const dos::fs::path &classFolder, const dos::fs::path &toolFolder,
                         QStringList *warnings)
{
    const classroom::ClassContents contents = classroom::readClass(classFolder);
    for (const std::string &problem : contents.problems)
        *warnings << QString::fromStdString(problem);

    std::map<std::string, QString> own; // lowered name -> as written
    std::error_code error;
    const std::string_view bitmap = classroom::kBitmapSuffix;
    for (dos::fs::directory_iterator it(toolFolder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string file = it->path().filename().string();
        if (file.size() > bitmap.size()
            && dos::equalsIgnoreCase(std::string_view(file).substr(file.size() - bitmap.size()),
                                     bitmap)
            && !classroom::isClassLink(it->path(), classFolder)) {
            const std::string name = file.substr(0, file.size() - bitmap.size());
            own[dos::asciiLowered(name)] = QString::fromStdString(name);
        }
    }
    QStringList lines;
    for (const classroom::Photo &photo : contents.photos) {
        const QString note = own.count(dos::asciiLowered(photo.name))
            ? QStringLiteral("  (tienes una tuya con ese nombre, que es la que ves)")
            : QString();
        lines << QStringLiteral("clase   %1%2").arg(QString::fromStdString(photo.name), note);
    }
    for (const auto &entry : own)
        lines << QStringLiteral("propia  %1").arg(entry.second);
    return lines;
}

QString withdraw(const dos::fs::path &classFolder, const QString &name)
{
    const std::string base = name.toStdString();
    const dos::fs::path bitmap = classFolder / (base + classroom::kBitmapSuffix);
    const dos::fs::path twin = classFolder / (base + classroom::kTwinSuffix);
    std::error_code error;
    if (name.isEmpty() || name.contains(QLatin1Char('/'))
        || (!dos::fs::exists(dos::fs::symlink_status(bitmap, error))
            && !dos::fs::exists(dos::fs::symlink_status(twin, error))))
        return QStringLiteral("no hay ninguna fotografía «%1» en la clase (--lista las muestra)")
            .arg(name);
    for (const dos::fs::path &file : {bitmap, twin}) {
        if (!dos::fs::remove(file, error) && error)
            return QStringLiteral("no se puede quitar %1: %2")
                .arg(QString::fromStdString(file.string()),
                     QString::fromStdString(dos::spanishReason(error)));
    }
    return QString();
}

} // namespace importar
