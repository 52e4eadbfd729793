"""Shared code of the data-pack generators: one style, one set of writers."""
