window.siteIndex = [
  {"key": "0A1B2C3D4E5F60718293A4B5C6D7E8F9", "text": "old guard grenadier napoleonic wars marengo miniatures 54-mm infantry", "genre": "Napoleonic wars", "scale": "54-mm", "type": "infantry"},
  {"key": "11111111111111111111111111111111", "text": "scots greys trooper napoleonic wars marengo miniatures 54-mm cavalry", "genre": "Napoleonic wars", "scale": "54-mm", "type": "cavalry"},
  {"key": "22222222222222222222222222222222", "text": "polish lancer napoleonic wars ostrava tin 90-mm cavalry", "genre": "Napoleonic wars", "scale": "90-mm", "type": "cavalry"},
  {"key": "33333333333333333333333333333333", "text": "light brigade hussar crimean war ostrava tin 54-mm cavalry", "genre": "Crimean war", "scale": "54-mm", "type": "cavalry"}
];
