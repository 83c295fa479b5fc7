INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `DirProperty`, `InstallMode`) VALUES ('RemoveTidepostFolder', 'Addin64', 'TidepostFolder', 2)
INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `DirProperty`, `InstallMode`) VALUES ('RemoveProgramsFolder', 'Addin64', 'UserProgramsFolder', 2)
