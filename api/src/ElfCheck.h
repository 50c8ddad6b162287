#pragma once

#include <string>

namespace tessra::api {

/// Reads the ELF header and program headers of the regular file `path` and
/// answers why the system loader must not be given it, or an empty text when
/// it may. The loader maps the file's loadable segments into memory; a segment
/// that reaches past the end of the file (a partial copy) would fault when
/// touched and end the process, so it is refused here.
///
/// The answer is one of:
///  - "" — an ELF shared object of this machine's class whose segments lie
///    inside the file;
///  - a text starting "not a loadable library (" — no ELF file, another word
///    size or byte order, or not a shared object;
///  - "the file is truncated or damaged" — an ELF file whose headers or
///    loadable segments are not all inside it;
///  - "it cannot be read (<reason>)".
std::string elfLoadProblem(const std::string& path);

} // namespace tessra::api
