# Engine spine tests: unit tests over wavorn_core, and export-level tests through libwavorn.
