# Run by cpack on the staged files before it packs them: gives every folder mode 755, which the
# umask of whoever builds may have narrowed. Files keep the modes that install gave them.
file(CHMOD_RECURSE ${CPACK_TEMPORARY_DIRECTORY} DIRECTORY_PERMISSIONS
     OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
