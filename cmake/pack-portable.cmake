# Packs FILES as NAME.tar.gz, in one folder NAME/. Members are in name order, owned by root, with
# modes that do not depend on the umask and stamped with SOURCE_DATE_EPOCH (or else EPOCH, the
# release's date), and gzip leaves its own time stamp out: the same files pack to the same bytes.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(EPOCH $ENV{SOURCE_DATE_EPOCH})
endif()
file(REMOVE_RECURSE ${NAME})
file(COPY ${FILES} DESTINATION ${NAME})
execute_process(
  COMMAND ${TAR} --create --format=ustar --sort=name --mtime=@${EPOCH} --owner=0 --group=0
          --numeric-owner --mode=u+rwX,go=rX ${NAME}
  COMMAND ${GZIP} -9n
  OUTPUT_FILE ${NAME}.tar.gz COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${NAME})
