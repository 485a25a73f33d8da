# Command-line programs over the engine's exports.
