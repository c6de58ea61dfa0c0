<?php
require("../basefiles/_functions.inc");

require("../archiv/db.inc");
$link = mysql_connect($host, $user, $pass)
or die("Keine Verbindung möglich: " . mysql_error());
print "Verbindung zum Datenbankserver erfolgreich<br>";
mysql_select_db($database) or die("Auswahl der Datenbank fehlgeschlagen");
mysql_query("SET NAMES latin1");

$table="kvrl_protestsystem";
$idRace=0; //Variable zum Merken des letzten Rennens fürs Grid
$fehler=""; //Fehler beim Eintragen
$sql="SELECT idRace FROM $table WHERE idGrid=2 AND idDriver IS NULL ORDER BY idRace DESC LIMIT 1";
$result = mysql_query($sql) or die("Update fehlgeschlagen: " . mysql_error());
if ($row = mysql_fetch_array($result)) {
  $idRace = $row['idRace'];
}
echo "idRace=".$idRace."<br>";
$nextrace=nextrace();
if(300>$idRace) {
 if(300==$nextrace['id'] || 300==$nextrace['id']-1) {
  echo $fehler == "" ? "OK, die Datenbank wurde aktualisiert.<br>" : "Fehler aufgetreten! " . $fehler;
 } else {
  echo "Fehler aufgetreten!";
  echo "Falsche Rennummer?<br>";
 }
} else {
 echo "Fehler aufgetreten!";
 echo "Es existiert bereits ein Eintrag zu diesem Grid!<br>";
}
mysql_close($link);
echo "ENDE";
?>
