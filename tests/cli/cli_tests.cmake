# Command-line checks of the gorv front end itself: help, version and bad commands.
gorv_cli_test(cli.main.help 0 "^usage: gorv <command>.*polygon.*unit.*text" --help)
gorv_cli_test(cli.main.version 0 "^gorv ${PROJECT_VERSION}\n$" --version)
gorv_cli_test(cli.main.missing_command 2 "^gorv: missing command\nTry 'gorv --help'")
gorv_cli_test(cli.main.unknown_command 2 "^gorv: unknown command 'frobnicate'\n" frobnicate)
