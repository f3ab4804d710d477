// What a write past the file-size limit (`ulimit -f`, RLIMIT_FSIZE) does in every program we ship. By default
// the kernel ends the process with SIGXFSZ: the counts or results not yet saved are lost and the temporary file
// of a replacement stays beside its target. Ignored, the write fails as on a full disk instead: the writer
// removes its temporary file, the old file stays as it was and the program reports the failure.
#pragma once

namespace murtesk::platform {

// Each program calls this first in main. Programs it starts through ProcessRunner get the default back.
void FailWritesPastTheFileSizeLimit();

}  // namespace murtesk::platform
