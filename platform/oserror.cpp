// The system's reasons in Spanish.
#include "oserror.h"

#include <cerrno>

namespace dos {

std::string spanishReason(int errnum)
{
    switch (errnum) {
    case ENOSPC:
        return "no queda espacio en el disco";
    case EDQUOT:
        return "se ha agotado la cuota de disco del usuario";
    case EACCES:
    case EPERM:
        return "no tiene permiso";
    case ENOENT:
        return "no existe";
    case ENOTDIR:
        return "una parte de la ruta no es una carpeta";
    case EROFS:
        return "el disco es de solo lectura";
    case EISDIR:
        return "es una carpeta";
    case ELOOP:
        return "es un enlace simbólico";
    case EEXIST:
        return "ya existe";
    case ENOTEMPTY:
        return "la carpeta no está vacía";
    case EBUSY:
    case ETXTBSY:
        return "está en uso";
    case ENAMETOOLONG:
        return "el nombre es demasiado largo";
    case EMFILE:
    case ENFILE:
        return "hay demasiados archivos abiertos";
    case EXDEV:
        return "está en otro disco";
    case EIO:
        return "error de lectura o escritura en el disco";
    case ENXIO:
    case ENODEV:
        return "no es un archivo sino un dispositivo";
    case EWOULDBLOCK:
        return "no es un archivo normal";
    case EINVAL:
        return "el sistema no lo admite";
    case EFBIG:
        return "el archivo sería demasiado grande";
    }
    return "error del sistema " + std::to_string(errnum);
}

std::string spanishReason(const std::error_code &error)
{
    if (error.category() == std::generic_category() || error.category() == std::system_category())
        return spanishReason(error.value());
    return error.message();
}

} // namespace dos
