"""Makes the test prefix (once per build tree)."""

from harness import Wine

Wine().setup()
