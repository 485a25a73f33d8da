// Writes beside the target through platform::SafeWriter, its failures in the tools' words.
#include "FileWrite.h"

namespace vumo::cab
{

PartFile::PartFile(const std::string& target)
    : m_writer(target, {.followLinks = false, .refuseReadOnly = false})
{
}

bool PartFile::check(bool ok)
{
    if (ok || !m_error.empty())
        return ok;
    const platform::WriteStep step = m_writer.failedStep();
    if (step == platform::WriteStep::None) // a call after the part was removed
        m_error = "cannot write " + m_writer.target() + ": it is not open";
    else if (step == platform::WriteStep::Create)
        m_error = "cannot create " + m_writer.partName() + ": " + m_writer.errorText();
    else
        m_error = "cannot write " + m_writer.target() + ": " + m_writer.errorText();
    return false;
}

std::string writeFileBeside(const std::string& path, const void* data, size_t size)
{
    PartFile part(path);
    if (part.open() && part.write(data, size) && part.commit())
        return {};
    return part.error();
}

} // namespace vumo::cab
