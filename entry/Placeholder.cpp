// Temporary: the entry point arrives with the reduction.
