# cmake -DNAME=... -DEPOCH=... [-DFILES=...] [-DTAR=tar] [-DGZIP=gzip] -P cmake/pack-archive.cmake
# Packs the folder NAME of the working folder as NAME.tar.gz, after copying FILES into it where they
# are given, and removes the folder. Members are in name order, owned by root, with modes that
# depend neither on the umask nor on a setgid folder, and stamped with EPOCH; gzip leaves its own
# time stamp out: the same files pack to the same bytes. Every archive of a release is packed here.
if(NOT TAR)
  set(TAR tar)
endif()
if(NOT GZIP)
  set(GZIP gzip)
endif()
if(FILES)
  file(REMOVE_RECURSE ${NAME})
  file(COPY ${FILES} DESTINATION ${NAME})
endif()
execute_process(
  COMMAND ${TAR} --create --format=ustar --sort=name --mtime=@${EPOCH} --owner=0 --group=0
          --numeric-owner --mode=a-st,u+rwX,go=rX ${NAME}
  COMMAND ${GZIP} -9n
  OUTPUT_FILE ${NAME}.tar.gz COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${NAME})
