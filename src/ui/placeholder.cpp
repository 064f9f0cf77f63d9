// Replaced by the widget sources.
