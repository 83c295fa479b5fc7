INSERT INTO `CreateFolder` (`Directory_`, `Component_`) VALUES ('TidepostFolder', 'Addin64')
INSERT INTO `CreateFolder` (`Directory_`, `Component_`) VALUES ('UserProgramsFolder', 'Addin64')
INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveFolders', 3600)
INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('CreateFolders', 3700)
