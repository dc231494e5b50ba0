// The plugin module is built from the core library as a whole; this file
// only gives the shared-library target a source of its own.
