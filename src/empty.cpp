// Keeps a subsystem library buildable while its folder has no sources yet.
