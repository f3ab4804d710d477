# cmake -DTARGET=name -DFILES="a;b;..." -P CheckNoIoIncludes.cmake
# Fails when any of the files includes a file or thread header (<cstdio>, <fstream>, <filesystem>, <thread>,
# <mutex>, POSIX I/O and the like): the target computes, its callers do the I/O and own the threads.
set(forbidden "cstdio|stdio\\.h|fstream|iostream|filesystem|unistd\\.h|fcntl\\.h|sys/[a-z_]+\\.h|thread|mutex|shared_mutex|condition_variable|future|semaphore|latch|barrier|stop_token|pthread\\.h")
foreach(file IN LISTS FILES)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](${forbidden})[>\"]")
  if(lines)
    message(SEND_ERROR "${file} includes a file or thread header: ${lines}")
    set(failed TRUE)
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "${TARGET} must not include file or thread headers")
endif()
