// Shared test helpers live here.
