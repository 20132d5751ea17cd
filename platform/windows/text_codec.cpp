// filled in with the settings engine
