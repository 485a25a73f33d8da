# The studio application Vumo (Qt 6 Widgets).
